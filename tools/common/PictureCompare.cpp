#include "tools/common/PictureCompare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tools {

namespace {

// One pass of a separable blur along x (dx = 1) or y, edges repeated.
std::vector<float> blurPass(const std::vector<float>& values, int width, int height, bool alongX,
                            const std::vector<float>& kernel) {
    int radius = int(kernel.size() / 2);
    std::vector<float> out(values.size());
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            for (int c = 0; c < 3; c++) {
                float sum = 0.0f;
                for (int k = -radius; k <= radius; k++) {
                    int sx = alongX ? std::min(std::max(x + k, 0), width - 1) : x;
                    int sy = alongX ? y : std::min(std::max(y + k, 0), height - 1);
                    sum += kernel[size_t(k + radius)] * values[(size_t(sy) * width + sx) * 3 + c];
                }
                out[(size_t(y) * width + x) * 3 + c] = sum;
            }
    return out;
}

std::vector<float> blurred(const RgbImage& image, double sigma) {
    int radius = std::max(1, int(std::ceil(3.0 * sigma)));
    std::vector<float> kernel(size_t(2 * radius + 1));
    float total = 0.0f;
    for (int k = -radius; k <= radius; k++) {
        kernel[size_t(k + radius)] = float(std::exp(-k * k / (2.0 * sigma * sigma)));
        total += kernel[size_t(k + radius)];
    }
    for (float& weight : kernel)
        weight /= total;
    std::vector<float> values(image.rgb.begin(), image.rgb.end());
    return blurPass(blurPass(values, image.width, image.height, true, kernel), image.width, image.height, false,
                    kernel);
}

} // namespace

std::string PictureDifference::summary(const CompareRules& rules) const {
    char text[256];
    if (!sameSize) {
        std::snprintf(text, sizeof text, "the pictures differ in size: %dx%d, the reference %dx%d", actualWidth,
                      actualHeight, referenceWidth, referenceHeight);
        return text;
    }
    std::snprintf(text, sizeof text,
                  "%d pixels differ; the worst %dx%d window, at (%d, %d), holds %d of them (at most %d may)",
                  differing, rules.window, rules.window, worstWindowX, worstWindowY, worstWindowDiffering,
                  rules.windowLimit);
    return text;
}

PictureDifference comparePictures(const RgbImage& actual, const RgbImage& reference, const CompareRules& rules) {
    PictureDifference difference;
    difference.actualWidth = actual.width;
    difference.actualHeight = actual.height;
    difference.referenceWidth = reference.width;
    difference.referenceHeight = reference.height;
    difference.sameSize = actual.width == reference.width && actual.height == reference.height;
    if (!difference.sameSize || actual.rgb.empty())
        return difference;
    int width = actual.width;
    int height = actual.height;
    std::vector<float> a = blurred(actual, rules.blurSigma);
    std::vector<float> b = blurred(reference, rules.blurSigma);

    // Which way each pixel differs (+1 actual brighter, -1 reference
    // brighter), and a summed-area table of the differing ones.
    std::vector<int> sign(size_t(width) * height, 0);
    std::vector<int> table((size_t(width) + 1) * (height + 1), 0);
    auto at = [width](int x, int y) { return size_t(y) * (width + 1) + x; };
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            size_t i = size_t(y) * width + x;
            float largest = 0.0f;
            float balance = 0.0f;
            for (int c = 0; c < 3; c++) {
                float delta = a[3 * i + c] - b[3 * i + c];
                largest = std::max(largest, std::fabs(delta));
                balance += delta;
            }
            bool differs = largest > rules.colourTolerance;
            sign[i] = differs ? (balance >= 0.0f ? 1 : -1) : 0;
            difference.differing += differs;
            table[at(x + 1, y + 1)] = int(differs) + table[at(x, y + 1)] + table[at(x + 1, y)] - table[at(x, y)];
        }

    int step = std::max(1, rules.window / 2);
    for (int y = 0; y < height; y += step)
        for (int x = 0; x < width; x += step) {
            int x1 = std::min(width, x + rules.window);
            int y1 = std::min(height, y + rules.window);
            int count = table[at(x1, y1)] - table[at(x, y1)] - table[at(x1, y)] + table[at(x, y)];
            if (count > difference.worstWindowDiffering) {
                difference.worstWindowDiffering = count;
                difference.worstWindowX = x;
                difference.worstWindowY = y;
            }
        }
    difference.differs = difference.worstWindowDiffering > rules.windowLimit;

    difference.picture = reference;
    for (size_t i = 0; i < sign.size(); i++) {
        unsigned char* p = &difference.picture.rgb[3 * i];
        if (sign[i] == 0) {
            for (int c = 0; c < 3; c++)
                p[c] = (unsigned char)(p[c] / 3);
        } else {
            p[0] = sign[i] > 0 ? 255 : 0;
            p[1] = 0;
            p[2] = sign[i] > 0 ? 0 : 255;
        }
    }
    return difference;
}

} // namespace tools
