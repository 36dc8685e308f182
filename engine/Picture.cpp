#include "engine/Picture.h"

#include <png.h>
#include <sys/stat.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/RegularFile.h"

namespace vq_engine {

namespace {

// Beyond this a header is taken to be forged: 64 Mpixel is 256 MiB of RGBA.
const long long mostPixels = 1LL << 26;
// No image file we read comes near this; it bounds what a file read may allocate.
const long mostFileBytes = 512L << 20;
// libpng reads an ancillary chunk whole, trusting its length field: a forged
// length would allocate gigabytes. Bigger chunks are skipped with a warning,
// and the ones that never change the picture are skipped unread.
const png_alloc_size_t mostPngChunkBytes = 8 << 20;
const png_byte unusedPngChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0bKGD\0cHRM\0gAMA\0hIST\0oFFs\0"
                                   "pCAL\0pHYs\0sBIT\0sCAL\0sRGB\0tIME";
const int unusedPngChunkCount = int(sizeof unusedPngChunks / 5);

// Empty when a width x height picture is both possible and sane.
std::string sizeProblem(long long width, long long height, int largestSide) {
    if (width <= 0 || height <= 0)
        return "image has no pixels (" + std::to_string(width) + "x" + std::to_string(height) + ")";
    if (width > largestSide || height > largestSide || width * height > mostPixels)
        return "image of " + std::to_string(width) + "x" + std::to_string(height) +
               " pixels is larger than a texture may be";
    return "";
}

// Null, with the reason, unless path names a regular file that can be read.
FILE* openImageFile(const char* path, std::string& reason) {
    FILE* file = openRegularFile(path, reason);
    if (!file)
        reason = "cannot open: " + reason;
    return file;
}

bool readWholeFile(const char* path, std::vector<unsigned char>& bytes, std::string& reason) {
    FILE* file = openImageFile(path, reason);
    if (!file)
        return false;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        length = std::ftell(file);
    bool ok = length >= 0 && length <= mostFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(size_t(length));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok)
        reason = length > mostFileBytes ? "file is too large" : "cannot read the file";
    else if (bytes.empty()) {
        reason = "file is empty";
        ok = false;
    }
    return ok;
}

// ---- TGA -----------------------------------------------------------------

enum TgaKind { TGA_NONE = 0, TGA_MAPPED = 1, TGA_TRUECOLOR = 2, TGA_GREY = 3 };
const int tgaHeaderBytes = 18;
const int tgaRunLengthBit = 8;
const unsigned char tgaRightToLeft = 0x10;
const unsigned char tgaTopToBottom = 0x20;

struct TgaHeader {
    int idLength;
    int mapType;
    int imageType;
    int mapFirst;
    int mapLength;
    int mapDepth;
    int width;
    int height;
    int depth;
    int descriptor;
};

int readU16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

TgaHeader parseTgaHeader(const unsigned char* p) {
    TgaHeader h;
    h.idLength = p[0];
    h.mapType = p[1];
    h.imageType = p[2];
    h.mapFirst = readU16(p + 3);
    h.mapLength = readU16(p + 5);
    h.mapDepth = p[7];
    h.width = readU16(p + 12);
    h.height = readU16(p + 14);
    h.depth = p[16];
    h.descriptor = p[17];
    return h;
}

// Bytes per stored pixel (or per colour index), 0 for a depth the kind cannot have.
int tgaPixelBytes(int kind, int depth) {
    if (kind == TGA_TRUECOLOR && (depth == 15 || depth == 16 || depth == 24 || depth == 32))
        return (depth + 7) / 8;
    if (kind == TGA_GREY && (depth == 8 || depth == 16))
        return depth / 8;
    if (kind == TGA_MAPPED && (depth == 8 || depth == 16))
        return depth / 8;
    return 0;
}

// Expands run-length packets into count pixels of pixelBytes each; false when
// the data ends early or a packet runs past the image.
bool expandTgaRuns(const unsigned char* data, size_t size, size_t count, int pixelBytes,
                   std::vector<unsigned char>& out, std::string& reason) {
    out.resize(count * pixelBytes);
    size_t at = 0;
    size_t done = 0;
    while (done < count) {
        if (at >= size) {
            reason = "run-length data ends before the image is complete";
            return false;
        }
        unsigned char packet = data[at++];
        size_t length = size_t(packet & 0x7f) + 1;
        if (done + length > count) {
            reason = "run-length packet runs past the end of the image";
            return false;
        }
        bool repeated = packet & 0x80;
        size_t needed = repeated ? pixelBytes : length * pixelBytes;
        if (size - at < needed) {
            reason = "run-length data ends before the image is complete";
            return false;
        }
        for (size_t i = 0; i < length; i++) {
            const unsigned char* source = repeated ? data + at : data + at + i * pixelBytes;
            std::memcpy(&out[(done + i) * pixelBytes], source, size_t(pixelBytes));
        }
        at += needed;
        done += length;
    }
    return true;
}

// A 5-5-5 pixel as B, G, R, each channel scaled to 0-255 with rounding. The
// top bit is not taken as alpha: writers fill it inconsistently.
void widen555(const unsigned char* p, unsigned char* bgr) {
    int value = readU16(p);
    for (int c = 0; c < 3; c++) {
        int five = (value >> (5 * c)) & 0x1f;
        bgr[c] = (unsigned char)((five * 255 + 15) / 31);
    }
}

// One stored colour (a pixel or a colour-map entry) of bytes 2, 3 or 4 to B, G, R(, A).
void copyTgaColour(const unsigned char* p, int bytes, unsigned char* out) {
    if (bytes == 2)
        widen555(p, out);
    else
        std::memcpy(out, p, size_t(bytes));
}

int tgaColourChannels(int bytes) {
    return bytes == 4 ? 4 : 3;
}

bool convertTgaPixels(const TgaHeader& h, const std::vector<unsigned char>& stored, int pixelBytes,
                      const unsigned char* map, int mapBytes, Picture& picture, std::string& reason) {
    size_t count = size_t(h.width) * h.height;
    int kind = h.imageType & ~tgaRunLengthBit;
    if (kind == TGA_GREY && pixelBytes == 1) {
        picture.layout = PIXELS_GREY;
        picture.pixels.assign(stored.begin(), stored.end());
        return true;
    }
    if (kind == TGA_GREY) {
        picture.layout = PIXELS_BGRA;
        picture.pixels.resize(count * 4);
        for (size_t i = 0; i < count; i++) {
            unsigned char* out = &picture.pixels[i * 4];
            out[0] = out[1] = out[2] = stored[i * 2];
            out[3] = stored[i * 2 + 1];
        }
        return true;
    }
    int sourceBytes = kind == TGA_MAPPED ? mapBytes : pixelBytes;
    int channels = tgaColourChannels(sourceBytes);
    picture.layout = channels == 4 ? PIXELS_BGRA : PIXELS_BGR;
    picture.pixels.resize(count * channels);
    for (size_t i = 0; i < count; i++) {
        const unsigned char* source = &stored[i * pixelBytes];
        if (kind == TGA_MAPPED) {
            int index = pixelBytes == 2 ? readU16(source) : source[0];
            int entry = index - h.mapFirst;
            if (entry < 0 || entry >= h.mapLength) {
                reason = "colour index " + std::to_string(index) + " is outside the colour map";
                return false;
            }
            source = map + size_t(entry) * mapBytes;
        }
        copyTgaColour(source, sourceBytes, &picture.pixels[i * channels]);
    }
    return true;
}

// Puts the bottom row first and the left column first, whatever corner the file starts at.
void orientTga(const TgaHeader& h, Picture& picture) {
    size_t channels = picture.pixels.size() / (size_t(h.width) * h.height);
    size_t rowBytes = channels * h.width;
    if (h.descriptor & tgaTopToBottom)
        for (int y = 0; y < h.height / 2; y++)
            std::swap_ranges(picture.pixels.begin() + y * rowBytes,
                             picture.pixels.begin() + (y + 1) * rowBytes,
                             picture.pixels.begin() + (h.height - 1 - y) * rowBytes);
    if (h.descriptor & tgaRightToLeft)
        for (int y = 0; y < h.height; y++) {
            unsigned char* row = &picture.pixels[y * rowBytes];
            for (int x = 0; x < h.width / 2; x++)
                std::swap_ranges(row + x * channels, row + (x + 1) * channels,
                                 row + (h.width - 1 - x) * channels);
        }
}

bool checkTgaHeader(const TgaHeader& h, int largestSide, int& pixelBytes, int& mapBytes, std::string& reason) {
    int kind = h.imageType & ~tgaRunLengthBit;
    if (h.imageType == TGA_NONE) {
        reason = "TGA holds no image data (image type 0)";
        return false;
    }
    if (kind != TGA_MAPPED && kind != TGA_TRUECOLOR && kind != TGA_GREY) {
        reason = "unsupported TGA image type " + std::to_string(h.imageType);
        return false;
    }
    if (h.mapType > 1 || (kind == TGA_MAPPED && (h.mapType != 1 || h.mapLength == 0))) {
        reason = "invalid TGA colour map (type " + std::to_string(h.mapType) + ", " +
                 std::to_string(h.mapLength) + " entries)";
        return false;
    }
    reason = sizeProblem(h.width, h.height, largestSide);
    if (!reason.empty())
        return false;
    pixelBytes = tgaPixelBytes(kind, h.depth);
    if (pixelBytes == 0) {
        reason = "unsupported TGA pixel depth " + std::to_string(h.depth) + " for image type " +
                 std::to_string(h.imageType);
        return false;
    }
    mapBytes = h.mapType == 1 ? (h.mapDepth + 7) / 8 : 0;
    if (kind == TGA_MAPPED && h.mapDepth != 15 && h.mapDepth != 16 && h.mapDepth != 24 &&
        h.mapDepth != 32) {
        reason = "unsupported TGA colour-map entry depth " + std::to_string(h.mapDepth);
        return false;
    }
    return true;
}

bool decodeTGA(const std::vector<unsigned char>& file, int largestSide, Picture& picture, std::string& reason) {
    if (file.size() < size_t(tgaHeaderBytes)) {
        reason = "file is shorter than a TGA header";
        return false;
    }
    TgaHeader h = parseTgaHeader(file.data());
    int pixelBytes = 0;
    int mapBytes = 0;
    if (!checkTgaHeader(h, largestSide, pixelBytes, mapBytes, reason))
        return false;

    size_t mapAt = size_t(tgaHeaderBytes) + h.idLength;
    size_t dataAt = mapAt + size_t(h.mapLength) * mapBytes;
    if (dataAt > file.size()) {
        reason = "image ID or colour map runs past the end of the file";
        return false;
    }
    size_t count = size_t(h.width) * h.height;
    std::vector<unsigned char> stored;
    if (h.imageType & tgaRunLengthBit) {
        if (!expandTgaRuns(file.data() + dataAt, file.size() - dataAt, count, pixelBytes, stored,
                           reason))
            return false;
    } else {
        if (file.size() - dataAt < count * pixelBytes) {
            reason = "pixel data is shorter than " + std::to_string(h.width) + "x" +
                     std::to_string(h.height) + " pixels of " + std::to_string(pixelBytes) +
                     " bytes";
            return false;
        }
        stored.assign(file.begin() + dataAt, file.begin() + dataAt + count * pixelBytes);
    }
    if (!convertTgaPixels(h, stored, pixelBytes, file.data() + mapAt, mapBytes, picture, reason))
        return false;
    picture.width = h.width;
    picture.height = h.height;
    orientTga(h, picture);
    return true;
}

// ---- JPEG ----------------------------------------------------------------

// libjpeg warns about junk bytes between markers although no image data is
// lost; every other warning (a cut-off file, bad entropy data) means holes.
bool harmlessJpegWarning(tjhandle decoder) {
    return tjGetErrorCode(decoder) == TJERR_WARNING &&
           std::strstr(tjGetErrorStr2(decoder), "extraneous bytes before marker") != nullptr;
}

bool decodeJPEGWith(tjhandle decoder, const std::vector<unsigned char>& file, int largestSide, Picture& picture,
                    std::string& reason) {
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(decoder, file.data(), file.size(), &width, &height, &subsampling,
                            &colourspace) != 0 &&
        !harmlessJpegWarning(decoder)) {
        reason = std::string("JPEG header: ") + tjGetErrorStr2(decoder);
        return false;
    }
    reason = sizeProblem(width, height, largestSide);
    if (!reason.empty())
        return false;
    if (colourspace == TJCS_CMYK || colourspace == TJCS_YCCK) {
        reason = "CMYK JPEG images are not supported";
        return false;
    }
    picture.pixels.resize(size_t(width) * height * 3);
    // Stopping at the first warning ends a file that runs out of data at its
    // first rows, instead of decoding its whole claimed size as grey.
    int flags = TJFLAG_BOTTOMUP | TJFLAG_STOPONWARNING;
    int failed = tjDecompress2(decoder, file.data(), file.size(), picture.pixels.data(), width, 0, height,
                               TJPF_RGB, flags);
    if (failed && harmlessJpegWarning(decoder))
        failed = tjDecompress2(decoder, file.data(), file.size(), picture.pixels.data(), width, 0, height,
                               TJPF_RGB, flags & ~TJFLAG_STOPONWARNING) != 0 &&
                 !harmlessJpegWarning(decoder);
    if (failed) {
        reason = std::string("JPEG data: ") + tjGetErrorStr2(decoder);
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.layout = PIXELS_RGB;
    return true;
}

bool decodeJPEG(const std::vector<unsigned char>& file, int largestSide, Picture& picture, std::string& reason) {
    tjhandle decoder = tjInitDecompress();
    if (!decoder) {
        reason = std::string("cannot start the JPEG decoder: ") + tjGetErrorStr2(nullptr);
        return false;
    }
    bool ok = decodeJPEGWith(decoder, file, largestSide, picture, reason);
    tjDestroy(decoder);
    return ok;
}

// ---- PNG -----------------------------------------------------------------

struct PngErrors {
    char message[256];
};

void pngError(png_structp png, png_const_charp message) {
    PngErrors* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    std::snprintf(errors->message, sizeof errors->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings concern ancillary data; the picture itself is still good.
void pngWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit grey, RGB or RGBA samples whatever the file stores.
// Grey with alpha becomes RGBA: a core context has no luminance-alpha format.
void requestEightBitSamples(png_structp png, png_infop info) {
    int colourType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    // 8-bit grey and RGB images are uploaded as stored, their tRNS colour key unapplied.
    bool storedAsIs = bitDepth == 8 && (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB);
    bool transparency = !storedAsIs && png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (transparency)
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA || (colourType == PNG_COLOR_TYPE_GRAY && transparency))
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// The layout of libpng's 8-bit output, or false for one the decoder never asks for.
bool layoutForChannels(int channels, PixelLayout& layout) {
    switch (channels) {
    case 1: layout = PIXELS_GREY; return true;
    case 3: layout = PIXELS_RGB; return true;
    case 4: layout = PIXELS_RGBA; return true;
    default: return false;
    }
}

// Deflate turns at best 258 bytes into about 2 bits. A file smaller than its
// image's filtered rows at that ratio cannot hold the image, whatever it
// claims: refused before anything is allocated for the pixels.
const unsigned long long bestDeflateRatio = 1032;

bool pngCanHold(png_structp png, png_infop info, long long fileBytes) {
    unsigned long long bitsPerPixel = png_get_bit_depth(png, info) * png_get_channels(png, info);
    unsigned long long rowBytes = (png_get_image_width(png, info) * bitsPerPixel + 7) / 8 + 1;
    return (unsigned long long)fileBytes >= rowBytes * png_get_image_height(png, info) / bestDeflateRatio;
}

// Decodes rows into picture; libpng longjmps back here on any error, so no
// object with a destructor may be created in this frame.
bool decodePNGStream(FILE* file, long long fileBytes, int largestSide, Picture* picture,
                     std::vector<png_bytep>* rows, PngErrors* errors) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, errors, pngError, pngWarning);
    if (!png) {
        std::snprintf(errors->message, sizeof errors->message, "cannot create the PNG decoder");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    png_infop endInfo = png_create_info_struct(png);
    if (!info || !endInfo) {
        png_destroy_read_struct(&png, &info, &endInfo);
        std::snprintf(errors->message, sizeof errors->message, "cannot create the PNG decoder");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, &endInfo);
        return false;
    }
    png_init_io(png, file);
    png_set_user_limits(png, png_uint_32(largestSide), png_uint_32(largestSide));
    png_set_chunk_malloc_max(png, mostPngChunkBytes);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unusedPngChunks, unusedPngChunkCount);
    png_read_info(png, info);
    if (!pngCanHold(png, info, fileBytes)) {
        char claim[160];
        std::snprintf(claim, sizeof claim, "a file of %lld bytes cannot hold the %ux%u pixels its header claims",
                      fileBytes, png_get_image_width(png, info), png_get_image_height(png, info));
        png_error(png, claim);
    }
    requestEightBitSamples(png, info);

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    int channels = png_get_channels(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    if ((long long)width * height > mostPixels)
        png_error(png, "image is larger than a texture may be");
    PixelLayout layout = PIXELS_RGBA;
    if (!layoutForChannels(channels, layout) || rowBytes != size_t(width) * channels)
        png_error(png, "unexpected sample layout after conversion to 8 bits");

    picture->pixels.resize(rowBytes * height);
    rows->resize(height);
    for (png_uint_32 i = 0; i < height; i++)
        (*rows)[i] = &picture->pixels[(height - 1 - i) * rowBytes];
    png_read_image(png, rows->data());
    png_read_end(png, endInfo);

    picture->width = int(width);
    picture->height = int(height);
    picture->layout = layout;
    png_destroy_read_struct(&png, &info, &endInfo);
    return true;
}

bool decodePNG(const char* path, int largestSide, Picture& picture, std::string& reason) {
    FILE* file = openImageFile(path, reason);
    if (!file)
        return false;
    std::vector<png_bytep> rows;
    PngErrors errors;
    errors.message[0] = '\0';
    struct stat status;
    long long fileBytes = fstat(fileno(file), &status) == 0 ? status.st_size : 0;
    bool ok = decodePNGStream(file, fileBytes, largestSide, &picture, &rows, &errors);
    std::fclose(file);
    if (!ok)
        reason = std::string("PNG: ") + errors.message;
    return ok;
}

} // namespace

bool Picture::load(const char* path, ImgType type, int largestSide, std::string& reason) {
    switch (type) {
    case IMG_JPEG: return loadJPEG(path, largestSide, reason);
    case IMG_PNG: return loadPNG(path, largestSide, reason);
    case IMG_TGA: return loadTGA(path, largestSide, reason);
    default: reason = "unknown image type " + std::to_string(int(type)); return false;
    }
}

// Each keeps the picture empty when the file cannot be used, whatever the
// decoder had written before it stopped.
bool Picture::loadTGA(const char* path, int largestSide, std::string& reason) {
    std::vector<unsigned char> file;
    bool decoded = readWholeFile(path, file, reason) && decodeTGA(file, largestSide, *this, reason);
    if (!decoded)
        *this = Picture();
    return decoded;
}

bool Picture::loadJPEG(const char* path, int largestSide, std::string& reason) {
    std::vector<unsigned char> file;
    bool decoded = readWholeFile(path, file, reason) && decodeJPEG(file, largestSide, *this, reason);
    if (!decoded)
        *this = Picture();
    return decoded;
}

bool Picture::loadPNG(const char* path, int largestSide, std::string& reason) {
    bool decoded = decodePNG(path, largestSide, *this, reason);
    if (!decoded)
        *this = Picture();
    return decoded;
}

int Picture::channels() const {
    switch (layout) {
    case PIXELS_GREY: return 1;
    case PIXELS_RGB:
    case PIXELS_BGR: return 3;
    default: return 4;
    }
}

std::vector<unsigned char> Picture::topDownRgb() const {
    int bytes = channels();
    bool reversed = layout == PIXELS_BGR || layout == PIXELS_BGRA;
    std::vector<unsigned char> rgb(size_t(3) * width * height);
    for (int y = 0; y < height; y++) {
        const unsigned char* row = &pixels[size_t(height - 1 - y) * width * bytes];
        unsigned char* out = &rgb[size_t(3) * y * width];
        for (int x = 0; x < width; x++) {
            const unsigned char* p = row + size_t(x) * bytes;
            for (int c = 0; c < 3; c++)
                out[3 * x + c] = bytes == 1 ? p[0] : p[reversed ? 2 - c : c];
        }
    }
    return rgb;
}

} // namespace vq_engine
