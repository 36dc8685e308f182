// make_pictures: draws the textures example's picture, the letters VQ as
// glowing dots on a dusk gradient inside a ring, and writes it three times:
//   make_pictures DIRECTORY   ->  DIRECTORY/velquor.png, .jpg and .tga
// Its top and bottom, left and right all differ, so a picture loaded upside
// down or mirrored shows at once.
#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int side = 256;
const int jpegQuality = 92;
const int glyphColumns = 5;
const int cellPixels = 14;

// Lit cells of the 5x7 glyph grid, cell i in column i % 5, row i / 5 from the top.
const std::vector<int> letterV = {0, 4, 5, 9, 10, 14, 15, 19, 20, 24, 26, 28, 32};
const std::vector<int> letterQ = {1, 2, 3, 5, 9, 10, 14, 15, 19, 20, 22, 24, 25, 28, 31, 32, 34};

// RGB, row 0 at the top.
struct Picture {
    std::vector<unsigned char> rgb = std::vector<unsigned char>(size_t(side) * side * 3);
    unsigned char* at(int x, int y) { return &rgb[(size_t(y) * side + x) * 3]; }
};

double clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

void addLight(double light[3], double r, double g, double b, double amount) {
    light[0] += r * amount;
    light[1] += g * amount;
    light[2] += b * amount;
}

// The glow of every lit cell of one letter whose top-left cell sits at (left, top).
double glyphGlow(const std::vector<int>& cells, double left, double top, double x, double y) {
    double glow = 0.0;
    for (int cell : cells) {
        double cx = left + (cell % glyphColumns + 0.5) * cellPixels;
        double cy = top + (cell / glyphColumns + 0.5) * cellPixels;
        double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        glow += std::exp(-d2 / (2.0 * 3.2 * 3.2));
    }
    return glow;
}

Picture draw() {
    Picture picture;
    double centre = side / 2.0;
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            double light[3] = {0, 0, 0};
            double down = double(y) / side;
            double across = double(x) / side;
            // Deep blue at the top, violet and ember towards the bottom, lighter to the right.
            addLight(light, 0.05 + 0.45 * down, 0.04 + 0.10 * down * down, 0.22 + 0.10 * across, 1.0);
            double r = std::hypot(x - centre, y - centre);
            addLight(light, 0.55, 0.85, 1.0, 0.7 * std::exp(-std::pow((r - 104.0) / 4.0, 2.0)));
            double glow = glyphGlow(letterV, 48, 78, x, y) + glyphGlow(letterQ, 138, 78, x, y);
            addLight(light, 1.0, 0.78, 0.45, glow);
            for (int c = 0; c < 3; c++)
                picture.at(x, y)[c] = (unsigned char)std::lround(255.0 * clamp01(light[c]));
        }
    return picture;
}

std::string writePng(Picture& picture, const std::string& path) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = side;
    png.height = side;
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, picture.rgb.data(), 0, nullptr))
        return png.message;
    return "";
}

std::string writeBytes(const std::string& path, const unsigned char* bytes, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return std::strerror(errno);
    bool ok = std::fwrite(bytes, 1, size, file) == size;
    ok = std::fclose(file) == 0 && ok;
    return ok ? "" : std::strerror(errno);
}

std::string writeJpeg(Picture& picture, const std::string& path) {
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    std::string error;
    if (!encoder || tjCompress2(encoder, picture.rgb.data(), side, 0, side, TJPF_RGB, &jpeg, &size, TJSAMP_444,
                                jpegQuality, 0) != 0)
        error = tjGetErrorStr2(encoder);
    else
        error = writeBytes(path, jpeg, size);
    tjFree(jpeg);
    if (encoder)
        tjDestroy(encoder);
    return error;
}

// Uncompressed true colour, 24 bits, rows from the bottom up as TGA stores them by default.
std::string writeTga(Picture& picture, const std::string& path) {
    std::vector<unsigned char> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        side & 0xff, side >> 8, side & 0xff, side >> 8, 24, 0};
    for (int y = side - 1; y >= 0; y--)
        for (int x = 0; x < side; x++) {
            const unsigned char* p = picture.at(x, y);
            bytes.insert(bytes.end(), {p[2], p[1], p[0]});
        }
    return writeBytes(path, bytes.data(), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures DIRECTORY\n");
        return 2;
    }
    Picture picture = draw();
    std::string stem = std::string(argv[1]) + "/velquor";
    struct Output {
        std::string path;
        std::string (*write)(Picture&, const std::string&);
    };
    for (const Output& output : {Output{stem + ".png", writePng}, Output{stem + ".jpg", writeJpeg},
                                 Output{stem + ".tga", writeTga}}) {
        std::string error = output.write(picture, output.path);
        if (!error.empty()) {
            std::fprintf(stderr, "make_pictures: cannot write %s: %s\n", output.path.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}
