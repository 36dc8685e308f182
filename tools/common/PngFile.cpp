#include "tools/common/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/RegularFile.h"
#include "tools/common/AtomicFile.h"

namespace tools {

namespace {

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

bool decode(FILE* file, RgbImage& image, PngFailure& failure) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, onPngError, onPngWarning);
    if (!png) {
        std::snprintf(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(failure.jump)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    // Whatever the file holds, read 8-bit RGB.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    image.width = int(png_get_image_width(png, info));
    image.height = int(png_get_image_height(png, info));
    image.rgb.assign(size_t(3) * image.width * image.height, 0);
    for (int y = 0; y < image.height; y++)
        png_read_row(png, image.pixel(0, y), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
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
    std::string reason;
    FILE* file = vq_engine::openRegularFile(path.c_str(), reason);
    if (!file)
        return "cannot read " + path + ": " + reason;
    unsigned char signature[8] = {};
    bool isPng = std::fread(signature, 1, sizeof signature, file) == sizeof signature &&
                 png_sig_cmp(signature, 0, sizeof signature) == 0;
    std::rewind(file);
    PngFailure failure;
    bool decoded = isPng && decode(file, image, failure);
    std::fclose(file);
    if (!isPng)
        return "cannot read " + path + ": not a PNG file";
    if (!decoded) {
        image = RgbImage();
        return "cannot read " + path + ": " + failure.message;
    }
    return "";
}

} // namespace tools
