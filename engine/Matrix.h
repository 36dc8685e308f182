#ifndef VQ_ENGINE_MATRIX_H
#define VQ_ENGINE_MATRIX_H

namespace vq_engine {

// A 4x4 single-precision matrix, handed to GL unchanged with transpose off, so
// GL reads e[4*c + r] as row r, column c. A * B applies A first, then B: scenes
// write model * view * projection.
class Matrix {
public:
    // All sixteen elements zero (not the identity).
    Matrix();
    ~Matrix();

    // The transform that applies this one first, then other.
    Matrix operator*(const Matrix& other) const;

    // Fills only the five frustum elements: call it on a fresh (zero) matrix.
    // fovy is the vertical field of view in degrees; aspect is width / height
    // (a ratio, no unit); near and far are distances from the eye in world
    // units, both above zero.
    void perspective(double fovy, double aspect, double near, double far);
    // translate, scale and rotate overwrite the matrix with that one transform.
    // x, y, z in world units.
    void translate(double x, double y, double z);
    // Factors per axis, no unit (1 keeps the size).
    void scale(double x, double y, double z);
    // Angles about X, Y and Z in radians; turns about X first, then Y, then Z.
    void rotate(double x, double y, double z);
    // A camera at eye looking at center with up pointing up the screen; eye
    // and center are points in world units, up a direction of any length;
    // the three arrays hold three doubles each and are only read.
    void lookAt(double* eye, double* center, double* up);

    // The sixteen floats in storage order, as setParam hands them to GL.
    float* matrix();

    // Element e[4*c + r] is row r, column c of the matrix as GL reads it.
    float e[16];
};

} // namespace vq_engine

// Vector helpers on caller-owned arrays. Sums are accumulated in float.
// Scales the n-vector v to length 1 in place.
void normalize(double* v, int n);
// out = a x b for 3-vectors.
void crossproduct3v(double* a, double* b, double* out);
// The dot product of two n-vectors.
float dotproduct(double* a, double* b, int n);
// Z-up modelling axes to the renderer's Y-up axes: (x, y, z) -> (x, z, -y).
void blender2opengl(float* v);

#endif
