#ifndef VELQUOR_TOOLS_PNGFILE_H
#define VELQUOR_TOOLS_PNGFILE_H

#include <string>
#include <vector>

namespace tools {

// An 8-bit RGB picture, row 0 at the top.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    RgbImage() = default;
    RgbImage(int width, int height) : width(width), height(height), rgb(size_t(3) * width * height, 0) {}
    unsigned char* pixel(int x, int y) { return &rgb[size_t(3) * (size_t(y) * width + x)]; }
    const unsigned char* pixel(int x, int y) const { return &rgb[size_t(3) * (size_t(y) * width + x)]; }
};

// Writes the picture as a PNG through a temporary file beside path and a
// rename, so path never holds a part of a picture. compression is zlib's
// level, 1 (fast) to 9 (small). An error message naming the file, or empty.
std::string writePng(const RgbImage& image, const std::string& path, int compression);

// Reads a PNG of any colour type and depth as 8-bit RGB, through the
// engine's decoder (alpha dropped, grey repeated); an error message naming
// the file, or empty.
std::string readPng(const std::string& path, RgbImage& image);

} // namespace tools

#endif
