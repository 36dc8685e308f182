#ifndef VQ_ENGINE_POINT3D_H
#define VQ_ENGINE_POINT3D_H

// A double-precision 3-vector for the bounce test.
class Point3D {
public:
    // The origin.
    Point3D();
    Point3D(double x, double y, double z);

    // Component-wise difference.
    Point3D operator-(Point3D other);
    // Dot and cross product, as the bounce test uses them.
    static double dot(Point3D a, Point3D b);
    static Point3D cross(Point3D a, Point3D b);

    // Coordinates in world units.
    double x;
    double y;
    double z;
};

#endif
