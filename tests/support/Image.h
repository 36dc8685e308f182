#ifndef VQ_TESTS_IMAGE_H
#define VQ_TESTS_IMAGE_H

#include <string>
#include <vector>

// An 8-bit RGB picture, row 0 at the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* pixel(int x, int y) const { return &rgb[size_t(3) * (size_t(y) * width + x)]; }
    int brightness(int x, int y) const;
    // Pixels in the rectangle brighter than threshold (any channel).
    int litPixels(int x0, int y0, int x1, int y1, int threshold = 24) const;
};

// Parses a binary PPM (P6, maxval 255); an empty image on anything else.
Image parsePPM(const std::string& bytes);
bool writePPM(const Image& image, const std::string& path);

#endif
