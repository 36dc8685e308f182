#ifndef VQ_ENGINE_MATRIX_H
#define VQ_ENGINE_MATRIX_H

namespace vq_engine {

// A 4x4 single-precision matrix, handed to GL unchanged with transpose off, so
// GL reads e[4*c + r] as row r, column c. A * B applies A first, then B: scenes
// write model * view * projection.
class Matrix {
public:
    Matrix();
    ~Matrix();

    Matrix operator*(const Matrix& other) const;

    // Fills only the five frustum elements: call it on a fresh (zero) matrix.
    void perspective(double fovy, double aspect, double near, double far);
    void translate(double x, double y, double z);
    void scale(double x, double y, double z);
    // Angles in radians; turns about X first, then Y, then Z.
    void rotate(double x, double y, double z);
    void lookAt(double* eye, double* center, double* up);

    float* matrix();

    float e[16];
};

} // namespace vq_engine

// Vector helpers on caller-owned arrays. Sums are accumulated in float.
void normalize(double* v, int n);
void crossproduct3v(double* a, double* b, double* out);
float dotproduct(double* a, double* b, int n);
// Z-up modelling axes to the renderer's Y-up axes: (x, y, z) -> (x, z, -y).
void blender2opengl(float* v);

#endif
