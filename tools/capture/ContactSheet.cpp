#include "tools/capture/ContactSheet.h"

#include <algorithm>
#include <cstdio>

namespace capture {

namespace {

// Thumbnails are never enlarged, and at most this wide: four to a row make a
// full-HD sheet.
const int largestThumbnail = 480;
const int fontWidth = 3;
const int fontHeight = 5;
const unsigned char labelGrey = 200;
// The sheet is a little lighter than the show's black sky, so each
// thumbnail's edge shows.
const unsigned char sheetGrey = 40;

// One glyph of the 3x5 font, rows top to bottom, '#' lit.
struct FontGlyph {
    char character;
    const char* rows[fontHeight];
};

const FontGlyph font[] = {
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"###", "..#", "###", "#..", "###"}}, {'3', {"###", "..#", ".##", "..#", "###"}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "###", "..#", "###"}},
    {'6', {"###", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", ".#.", ".#.", ".#."}},
    {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "###"}},
    {'.', {"...", "...", "...", "...", ".#."}}, {':', {"...", ".#.", "...", ".#.", "..."}},
    {'s', {"...", ".##", "##.", "..#", "##."}}, {' ', {"...", "...", "...", "...", "..."}},
};

const FontGlyph* glyphFor(char c) {
    for (const FontGlyph& glyph : font)
        if (glyph.character == c)
            return &glyph;
    return nullptr;
}

// The sheet's label for a time: seconds with hundredths.
std::string timeLabel(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

} // namespace

RgbImage shrink(const RgbImage& image, int width, int height) {
    RgbImage small(width, height);
    for (int y = 0; y < height; y++) {
        int y0 = int(long(y) * image.height / height);
        int y1 = std::max(y0 + 1, int(long(y + 1) * image.height / height));
        for (int x = 0; x < width; x++) {
            int x0 = int(long(x) * image.width / width);
            int x1 = std::max(x0 + 1, int(long(x + 1) * image.width / width));
            unsigned sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; sy++)
                for (int sx = x0; sx < x1; sx++)
                    for (int c = 0; c < 3; c++)
                        sum[c] += image.pixel(sx, sy)[c];
            unsigned count = unsigned((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 3; c++)
                small.pixel(x, y)[c] = (unsigned char)((sum[c] + count / 2) / count);
        }
    }
    return small;
}

int textWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : int(text.size()) * (fontWidth + 1) * scale - scale;
}

int drawText(RgbImage& picture, int left, int top, const std::string& text, int scale) {
    int x = left;
    for (char c : text) {
        const FontGlyph* glyph = glyphFor(c);
        for (int row = 0; glyph && row < fontHeight; row++)
            for (int column = 0; column < fontWidth; column++) {
                if (glyph->rows[row][column] != '#')
                    continue;
                for (int dy = 0; dy < scale; dy++)
                    for (int dx = 0; dx < scale; dx++) {
                        int px = x + column * scale + dx;
                        int py = top + row * scale + dy;
                        if (px >= 0 && py >= 0 && px < picture.width && py < picture.height)
                            std::fill_n(picture.pixel(px, py), 3, labelGrey);
                    }
            }
        x += (fontWidth + 1) * scale;
    }
    return textWidth(text, scale);
}

ContactSheet::ContactSheet(int columns, int rows, int frameWidth, int frameHeight)
    : columns(columns), rows(rows) {
    thumbnailWidth = std::min(frameWidth, largestThumbnail);
    thumbnailHeight = std::max(1, int((long(frameHeight) * thumbnailWidth + frameWidth / 2) / frameWidth));
    picture = RgbImage(margin + columns * (thumbnailWidth + margin),
                       margin + rows * (thumbnailHeight + labelHeight() + margin));
    std::fill(picture.rgb.begin(), picture.rgb.end(), sheetGrey);
}

int ContactSheet::labelHeight() const {
    return (fontHeight + 4) * labelScale;
}

int ContactSheet::cellLeft(int index) const {
    return margin + (index % columns) * (thumbnailWidth + margin);
}

int ContactSheet::cellTop(int index) const {
    return margin + (index / columns) * (thumbnailHeight + labelHeight() + margin);
}

int ContactSheet::labelTop(int index) const {
    return cellTop(index) + thumbnailHeight + 2 * labelScale;
}

void ContactSheet::place(int index, const RgbImage& frame, double seconds) {
    RgbImage thumbnail = shrink(frame, thumbnailWidth, thumbnailHeight);
    int left = cellLeft(index);
    int top = cellTop(index);
    for (int y = 0; y < thumbnailHeight; y++)
        std::copy_n(thumbnail.pixel(0, y), 3 * thumbnailWidth, picture.pixel(left, top + y));
    std::string label = timeLabel(seconds);
    drawText(picture, left + (thumbnailWidth - textWidth(label, labelScale)) / 2, labelTop(index), label,
             labelScale);
}

} // namespace capture
