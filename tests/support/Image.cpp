#include "tests/support/Image.h"

#include <algorithm>
#include <fstream>
#include <sstream>

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

Image parsePPM(const std::string& bytes) {
    Image image;
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 0;
    in >> magic >> image.width >> image.height >> maxval;
    if (!in || magic != "P6" || maxval != 255 || image.width <= 0 || image.height <= 0)
        return Image();
    in.get();
    size_t size = size_t(3) * image.width * image.height;
    size_t offset = size_t(in.tellg());
    if (bytes.size() < offset + size)
        return Image();
    image.rgb.assign(bytes.begin() + offset, bytes.begin() + offset + size);
    return image;
}

bool writePPM(const Image& image, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << " " << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.rgb.data()), std::streamsize(image.rgb.size()));
    return bool(out);
}
