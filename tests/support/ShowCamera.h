#ifndef VQ_TESTS_SHOWCAMERA_H
#define VQ_TESTS_SHOWCAMERA_H

// Where world points land on screen under the show's camera, computed
// independently of the engine: eye at (0, 0, -2) looking along +z, world +y
// down the screen, a 35 degree vertical field of view and the aspect the show
// uses (the integer width / height quotient when it is at least 1).
struct ScreenPoint {
    double x, y; // pixels, y from the top
};

struct PixelRect {
    int x0, y0, x1, y1; // x1 and y1 exclusive
};

ScreenPoint projectToScreen(double x, double y, double z, int width, int height);

// The pixel rectangle covering a world box, grown (or, negative, shrunk) by margin.
PixelRect screenBounds(double x0, double x1, double y0, double y1, double z0, double z1, int width, int height,
                       int margin);

#endif
