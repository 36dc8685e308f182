#include "tests/support/Image.h"

#include <algorithm>
#include <fstream>
#include <cctype>
#include <cstdlib>

int Image::brightness(int x, int y) const {
    const unsigned char* p = pixel(x, y);
    return std::max({p[0], p[1], p[2]});
}

int Image::litPixels(int x0, int y0, int x1, int y1, int threshold) const {
    int lit = 0;
    for (int y = std::max(0, y0); y < std::min(height, y1); y++)
        for (int x = std::max(0, x0); x < std::min(width, x1); x++)
            if (brightness(x, y) > threshold)
                lit++;
    return lit;
}

namespace {

// The next whitespace-separated header field, skipping # comments.
std::string headerField(const std::string& bytes, size_t& at) {
    for (;;) {
        while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at])))
            at++;
        if (at < bytes.size() && bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n')
                at++;
            continue;
        }
        break;
    }
    size_t begin = at;
    while (at < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[at])))
        at++;
    return bytes.substr(begin, at - begin);
}

} // namespace

Image parsePPM(const std::string& bytes) {
    size_t at = 0;
    std::string magic = headerField(bytes, at);
    int width = std::atoi(headerField(bytes, at).c_str());
    int height = std::atoi(headerField(bytes, at).c_str());
    int maxval = std::atoi(headerField(bytes, at).c_str());
    at++; // the single whitespace byte before the pixels
    size_t size = size_t(3) * size_t(std::max(width, 0)) * size_t(std::max(height, 0));
    if (magic != "P6" || maxval != 255 || width <= 0 || height <= 0 || bytes.size() < at + size)
        return Image();
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.assign(bytes.begin() + long(at), bytes.begin() + long(at + size));
    return image;
}

bool writePPM(const Image& image, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << " " << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.rgb.data()), std::streamsize(image.rgb.size()));
    return bool(out);
}
