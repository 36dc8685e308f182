#include "tests/support/PictureCompare.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

using tools::RgbImage;

namespace {

const int paletteSize = 16;

struct ColourCount {
    unsigned char rgb[3];
    long count;
};

using Box = std::vector<ColourCount>;

int longestChannel(const Box& box, int& range) {
    int best = 0;
    range = -1;
    for (int c = 0; c < 3; c++) {
        int low = 255;
        int high = 0;
        for (const ColourCount& colour : box) {
            low = std::min(low, int(colour.rgb[c]));
            high = std::max(high, int(colour.rgb[c]));
        }
        if (high - low > range) {
            range = high - low;
            best = c;
        }
    }
    return best;
}

// Median cut over the colours other than black, which keeps entry 0.
std::vector<std::array<unsigned char, 3>> medianCutPalette(const RgbImage& image) {
    std::map<unsigned, long> counts;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            const unsigned char* p = image.pixel(x, y);
            unsigned key = unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2];
            if (key != 0)
                counts[key]++;
        }
    std::vector<Box> boxes(1);
    for (const auto& entry : counts)
        boxes[0].push_back({{(unsigned char)(entry.first >> 16), (unsigned char)(entry.first >> 8),
                             (unsigned char)entry.first},
                            entry.second});
    while (int(boxes.size()) < paletteSize - 1) {
        int widest = -1;
        int widestRange = 0;
        for (size_t i = 0; i < boxes.size(); i++) {
            int range = 0;
            longestChannel(boxes[i], range);
            if (boxes[i].size() > 1 && range > widestRange) {
                widestRange = range;
                widest = int(i);
            }
        }
        if (widest < 0)
            break;
        Box& box = boxes[size_t(widest)];
        int range = 0;
        int channel = longestChannel(box, range);
        std::sort(box.begin(), box.end(),
                  [channel](const ColourCount& l, const ColourCount& r) { return l.rgb[channel] < r.rgb[channel]; });
        long total = 0;
        for (const ColourCount& colour : box)
            total += colour.count;
        long running = 0;
        size_t split = 1;
        for (; split < box.size() - 1; split++) {
            running += box[split - 1].count;
            if (2 * running >= total)
                break;
        }
        Box upper(box.begin() + long(split), box.end());
        box.resize(split);
        boxes.push_back(upper);
    }
    std::vector<std::array<unsigned char, 3>> palette = {{0, 0, 0}};
    for (const Box& box : boxes) {
        if (box.empty())
            continue;
        double sum[3] = {0, 0, 0};
        long total = 0;
        for (const ColourCount& colour : box) {
            for (int c = 0; c < 3; c++)
                sum[c] += double(colour.rgb[c]) * colour.count;
            total += colour.count;
        }
        palette.push_back({(unsigned char)std::lround(sum[0] / total), (unsigned char)std::lround(sum[1] / total),
                           (unsigned char)std::lround(sum[2] / total)});
    }
    return palette;
}

unsigned char nearestEntry(const std::vector<std::array<unsigned char, 3>>& palette, const unsigned char* p) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.size(); i++) {
        int distance = 0;
        for (int c = 0; c < 3; c++)
            distance += (int(p[c]) - palette[i][c]) * (int(p[c]) - palette[i][c]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return (unsigned char)best;
}

} // namespace

namespace {

// The libpng part, which may jump back on an error: nothing with a
// destructor lives in it.
bool encodeIndexed(FILE* file, int width, int height, const png_color* palette, int colours,
                   const unsigned char* indices) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 4, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, colours);
    png_write_info(png, info);
    png_set_packing(png);
    for (int y = 0; y < height; y++)
        png_write_row(png, indices + size_t(y) * width);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::string writeReferencePicture(const RgbImage& image, const std::string& path) {
    std::vector<std::array<unsigned char, 3>> palette = medianCutPalette(image);
    std::vector<png_color> entries;
    for (const auto& colour : palette)
        entries.push_back({colour[0], colour[1], colour[2]});
    std::vector<unsigned char> indices(size_t(image.width) * image.height);
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            indices[size_t(y) * image.width + x] = nearestEntry(palette, image.pixel(x, y));
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return "cannot write " + path;
    bool encoded = encodeIndexed(file, image.width, image.height, entries.data(), int(entries.size()),
                                 indices.data());
    bool closed = std::fclose(file) == 0;
    return encoded && closed ? "" : "cannot write " + path;
}
