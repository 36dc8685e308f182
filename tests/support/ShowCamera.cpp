#include "tests/support/ShowCamera.h"

#include <algorithm>
#include <cmath>

ScreenPoint projectToScreen(double x, double y, double z, int width, int height) {
    double cotangent = 1.0 / std::tan(35.0 * 3.141592653589793 / 360.0);
    double aspect = width >= height ? double(width / height) : double(width) / height;
    double distance = z + 2.0;
    double ndcX = x * cotangent / aspect / distance;
    double ndcY = -y * cotangent / distance;
    return {(ndcX + 1.0) / 2.0 * width, (1.0 - ndcY) / 2.0 * height};
}

PixelRect screenBounds(double x0, double x1, double y0, double y1, double z0, double z1, int width, int height,
                       int margin) {
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (double x : {x0, x1})
        for (double y : {y0, y1})
            for (double z : {z0, z1}) {
                ScreenPoint p = projectToScreen(x, y, z, width, height);
                left = std::min(left, p.x);
                right = std::max(right, p.x);
                top = std::min(top, p.y);
                bottom = std::max(bottom, p.y);
            }
    return {int(std::floor(left)) - margin, int(std::floor(top)) - margin, int(std::ceil(right)) + margin,
            int(std::ceil(bottom)) + margin};
}
