#include "tools/common/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/Picture.h"
#include "engine/RegularFile.h"
#include "tools/common/AtomicFile.h"

namespace tools {

namespace {

// Far beyond any frame or reference picture; the decoder refuses larger sides
// before it allocates anything.
const int largestSide = 1 << 15;

// libpng reports errors through a callback that must not return; it leaves
// the message here and jumps back.
struct PngFailure {
    jmp_buf jump;
    char message[256] = "";
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
    PngFailure* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    longjmp(failure->jump, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// The part of writing that libpng can abandon with a jump; no objects with
// destructors live across the jump.
bool encode(const RgbImage& image, FILE* file, int compression, PngFailure& failure) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, onPngError, onPngWarning);
    if (!png) {
        std::snprintf(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(failure.jump)) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, compression);
    // The show is points on black: unfiltered rows pack smallest, and fastest.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; y++)
        png_write_row(png, image.pixel(0, y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::string writePng(const RgbImage& image, const std::string& path, int compression) {
    AtomicFile out(path);
    std::string error = out.open();
    if (!error.empty())
        return error;
    PngFailure failure;
    if (!encode(image, out.file, compression, failure))
        return "cannot write " + path + ": " + failure.message;
    return out.commit(false);
}

std::string readPng(const std::string& path, RgbImage& image) {
    image = RgbImage();
    std::string reason;
    FILE* file = vq_engine::openRegularFile(path.c_str(), reason);
    if (!file)
        return "cannot read " + path + ": " + reason;
    unsigned char signature[8] = {};
    bool isPng = std::fread(signature, 1, sizeof signature, file) == sizeof signature &&
                 png_sig_cmp(signature, 0, sizeof signature) == 0;
    std::fclose(file);
    if (!isPng)
        return "cannot read " + path + ": not a PNG file";
    vq_engine::Picture picture;
    if (!picture.loadPNG(path.c_str(), largestSide, reason))
        return "cannot read " + path + ": " + reason;
    image.width = picture.width;
    image.height = picture.height;
    image.rgb = picture.topDownRgb();
    return "";
}

} // namespace tools
