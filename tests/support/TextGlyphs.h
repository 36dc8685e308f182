#ifndef VQ_TESTS_TEXTGLYPHS_H
#define VQ_TESTS_TEXTGLYPHS_H

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/Character.h"
#include "engine/PString.h"

// What the show's text must look like, written as pictures (seven rows of
// five, '#' lit, row 0 at the top) so that the tests do not share the cell
// lists of the code they check, and ways to read a built glyph back.
using GlyphPicture = std::vector<std::string>;

// The digits 0 to 9 as every number of the show draws them.
inline const std::vector<GlyphPicture>& digitPictures() {
    static const std::vector<GlyphPicture> pictures = {
        {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},
        {"..##.", ".#.#.", "#..#.", "...#.", "...#.", "...#.", "...#."},
        {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
        {".###.", "#...#", "....#", "..###", "....#", "#...#", ".###."},
        {".#...", ".#...", ".#...", ".#.#.", ".####", "...#.", "...#."},
        {"#####", "#....", "#....", "####.", "....#", "....#", "####."},
        {"...#.", "..#..", ".#...", "####.", "#...#", "#...#", ".###."},
        {"#####", "....#", "....#", "...#.", "..#..", ".#...", "#...."},
        {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
        {".###.", "#...#", "#...#", ".####", "...#.", "..#..", ".#..."},
    };
    return pictures;
}

// The lit cells of a picture in ascending cell order (cell = row * 5 + column).
inline std::vector<int> pictureCells(const GlyphPicture& rows) {
    std::vector<int> cells;
    for (size_t row = 0; row < rows.size(); row++)
        for (size_t column = 0; column < rows[row].size(); column++)
            if (rows[row][column] == '#')
                cells.push_back(int(row * 5 + column));
    return cells;
}

// Where a glyph was asked to stand.
struct GlyphPlace {
    float x, y, z, size;
};

inline bool within(float value, double low, double high) {
    double slack = 1e-6 * (1.0 + std::fabs(low) + std::fabs(high));
    return value >= low - slack && value <= high + slack;
}

// The cells of a glyph, one per cloud in cloud order, read back from the
// clouds themselves: a cloud's emission point is the far corner of its cell.
// Every point must lie in that cell's box; a stray point is a test failure.
inline std::vector<int> cloudCells(const vq_engine::Character& glyph, GlyphPlace place) {
    std::vector<int> cells;
    for (const vq_engine::Particle* cloud : glyph.particles) {
        long column = std::lround((cloud->emitX - place.x) / place.size) - 1;
        long row = std::lround((cloud->emitY - place.y) / place.size) - 1;
        EXPECT_TRUE(within(cloud->emitZ, place.z + place.size, place.z + place.size)) << cloud->emitZ;
        cells.push_back(int(row * 5 + column));
        double x0 = place.x + column * place.size, y0 = place.y + row * place.size;
        int outside = 0;
        for (int i = 0; i < cloud->count; i++) {
            if (!within(cloud->positions[3 * i], x0, x0 + place.size) ||
                !within(cloud->positions[3 * i + 1], y0, y0 + place.size) ||
                !within(cloud->positions[3 * i + 2], place.z, place.z + place.size))
                outside++;
        }
        EXPECT_EQ(outside, 0) << "points outside cell " << row * 5 + column;
        EXPECT_EQ(cloud->count, vq_engine::Character::pointsPerCell);
    }
    return cells;
}

// The digit whose picture has exactly these cells, or -1.
inline int digitOf(const std::vector<int>& cells) {
    for (size_t d = 0; d < digitPictures().size(); d++)
        if (pictureCells(digitPictures()[d]) == cells)
            return int(d);
    return -1;
}

// A glyph of the show as it must be built: its picture and its place.
struct PlacedGlyph {
    GlyphPicture picture;
    GlyphPlace place;
};

inline std::vector<PlacedGlyph> beginLayout() {
    const float y = -0.25f, size = 0.009f;
    return {{{"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}, {-0.3f, y, 0, size}},
            {{"#####", "#....", "#....", "#####", "#....", "#....", "#####"}, {-0.25f, y, 0, size}},
            {{".###.", "#...#", "#....", "#..##", "#...#", "#...#", ".###."}, {-0.2f, y, 0, size}},
            {{".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}, {-0.15f, y, 0, size}},
            {{"#...#", "##..#", "#.#.#", "#.#.#", "#.#.#", "#..##", "#...#"}, {-0.1f, y, 0, size}}};
}

inline std::vector<PlacedGlyph> fourteenLayout() {
    const auto& d = digitPictures();
    return {{d[1], {0.3f, 0.25f, 0, 0.009f}}, {d[4], {0.35f, 0.25f, 0, 0.009f}}};
}

inline std::vector<PlacedGlyph> thirtytwoLayout() {
    const auto& d = digitPictures();
    return {{d[3], {-0.3f, 0.15f, 0, 0.009f}}, {d[2], {-0.25f, 0.15f, 0, 0.009f}}};
}

inline std::vector<PlacedGlyph> n158Layout() {
    const auto& d = digitPictures();
    const float y = -0.05f, size = 0.009f;
    return {{d[1], {-0.1f, y, 0, size}}, {d[5], {-0.05f, y, 0, size}}, {d[8], {0.0f, y, 0, size}}};
}

inline std::vector<PlacedGlyph> n271Layout() {
    const auto& d = digitPictures();
    const float y = -0.15f, size = 0.009f;
    return {{d[2], {-0.2f, y, 0, size}}, {d[7], {-0.15f, y, 0, size}}, {d[1], {-0.1f, y, 0, size}}};
}

inline std::vector<PlacedGlyph> millionLayout() {
    const auto& d = digitPictures();
    return {{d[1], {-0.3f, -0.25f, 0, 0.009f}}, {d[0], {-0.25f, -0.25f, 0, 0.009f}}, {d[6], {-0.2f, -0.3f, 0, 0.004f}}};
}

inline std::vector<PlacedGlyph> tovelplexLayout() {
    const auto& d = digitPictures();
    const float base = 0.02f, exponent = 0.008f;
    return {{d[1], {-0.35f, 0.25f, 0, base}},      {d[0], {-0.25f, 0.25f, 0, base}},
            {d[1], {-0.17f, 0.2f, 0, exponent}},   {d[2], {-0.13f, 0.2f, 0, exponent}},
            {d[4], {-0.09f, 0.2f, 0, exponent}},   {d[3], {-0.05f, 0.2f, 0, exponent}},
            {d[1], {-0.01f, 0.2f, 0, exponent}}};
}

// The digit row's glyph origins: -0.3, then 0.3 further each time, summed in
// float as the row is laid out.
inline std::vector<float> rowOrigins() {
    std::vector<float> origins;
    float x = -0.3f;
    for (int k = 0; k < 100; k++) {
        origins.push_back(x);
        x = float(double(x) + 0.3);
    }
    return origins;
}

inline GlyphPlace rowPlace(int k) {
    return {rowOrigins()[size_t(k)], -0.25f, 0.0f, 0.05f};
}

inline int cloudTotal(const vq_engine::PString& text) {
    int total = 0;
    for (const vq_engine::Character* glyph : text.chars)
        total += int(glyph->particles.size());
    return total;
}

#endif
