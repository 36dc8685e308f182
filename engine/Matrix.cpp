#include "engine/Matrix.h"

#include <cmath>

namespace vq_engine {

namespace {

const double pi = 3.141592653589793;

void setIdentity(float* e) {
    for (int i = 0; i < 16; i++)
        e[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

} // namespace

Matrix::Matrix() {
    for (float& value : e)
        value = 0.0f;
}

Matrix::~Matrix() {}

Matrix Matrix::operator*(const Matrix& other) const {
    Matrix result;
    for (int i = 0; i < 16; i++) {
        int r = i / 4;
        int c = i % 4;
        float sum = e[4 * r] * other.e[c];
        sum += e[4 * r + 1] * other.e[4 + c];
        sum += e[4 * r + 2] * other.e[8 + c];
        sum += e[4 * r + 3] * other.e[12 + c];
        result.e[i] = sum;
    }
    return result;
}

void Matrix::perspective(double fovy, double aspect, double near, double far) {
    double top = near * std::tan(pi * fovy / 360.0);
    e[0] = float((2.0 * near) / (2.0 * top * aspect));
    e[5] = float((2.0 * near) / (2.0 * top));
    e[10] = float(-(far + near) / (far - near));
    e[11] = -1.0f;
    e[14] = float(-(2.0 * far * near) / (far - near));
}

void Matrix::translate(double x, double y, double z) {
    setIdentity(e);
    e[12] = float(x);
    e[13] = float(y);
    e[14] = float(z);
}

void Matrix::scale(double x, double y, double z) {
    setIdentity(e);
    e[0] = float(x);
    e[5] = float(y);
    e[10] = float(z);
    e[15] = 1.0f;
}

void Matrix::rotate(double x, double y, double z) {
    float cx = std::cos(float(x)), sx = std::sin(float(x));
    float cy = std::cos(float(y)), sy = std::sin(float(y));
    float cz = std::cos(float(z)), sz = std::sin(float(z));
    e[0] = cy * cz;
    e[1] = cy * sz;
    e[2] = -sy;
    e[3] = 0.0f;
    e[4] = sx * sy * cz - cx * sz;
    e[5] = sx * sy * sz + cx * cz;
    e[6] = sx * cy;
    e[7] = 0.0f;
    e[8] = cx * sy * cz + sx * sz;
    e[9] = cx * sy * sz - sx * cz;
    e[10] = cx * cy;
    e[11] = 0.0f;
    e[12] = 0.0f;
    e[13] = 0.0f;
    e[14] = 0.0f;
    e[15] = 1.0f;
}

void Matrix::lookAt(double* eye, double* center, double* up) {
    double f[3] = {eye[0] - center[0], eye[1] - center[1], eye[2] - center[2]};
    double s[3];
    double u[3];
    crossproduct3v(up, f, s);
    crossproduct3v(f, s, u);
    normalize(s, 3);
    double ts = -dotproduct(eye, s, 3);
    normalize(u, 3);
    double tu = -dotproduct(eye, u, 3);
    normalize(f, 3);
    double tf = -dotproduct(eye, f, 3);

    e[0] = float(s[0]);
    e[4] = float(s[1]);
    e[8] = float(s[2]);
    e[12] = float(ts);
    e[1] = float(u[0]);
    e[5] = float(u[1]);
    e[9] = float(u[2]);
    e[13] = float(tu);
    e[2] = float(f[0]);
    e[6] = float(f[1]);
    e[10] = float(f[2]);
    e[14] = float(tf);
    e[3] = 0.0f;
    e[7] = 0.0f;
    e[11] = 0.0f;
    e[15] = 1.0f;
}

float* Matrix::matrix() {
    return e;
}

} // namespace vq_engine

void normalize(double* v, int n) {
    float sum = 0.0f;
    for (int i = 0; i < n; i++)
        sum = float(sum + v[i] * v[i]);
    float length = std::sqrt(sum);
    for (int i = 0; i < n; i++)
        v[i] = v[i] / length;
}

void crossproduct3v(double* a, double* b, double* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

float dotproduct(double* a, double* b, int n) {
    float sum = 0.0f;
    for (int i = 0; i < n; i++)
        sum = float(sum + a[i] * b[i]);
    return sum;
}

void blender2opengl(float* v) {
    float y = v[1];
    v[1] = v[2];
    v[2] = -y;
}
