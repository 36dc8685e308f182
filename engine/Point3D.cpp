#include "engine/Point3D.h"

Point3D::Point3D() : x(0.0), y(0.0), z(0.0) {}

Point3D::Point3D(double x, double y, double z) : x(x), y(y), z(z) {}

Point3D Point3D::operator-(Point3D other) {
    return Point3D(x - other.x, y - other.y, z - other.z);
}

double Point3D::dot(Point3D a, Point3D b) {
    return (a.x * b.x + a.y * b.y) + a.z * b.z;
}

Point3D Point3D::cross(Point3D a, Point3D b) {
    return Point3D(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
