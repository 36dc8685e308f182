#include <gtest/gtest.h>

#include <cmath>

#include "engine/Matrix.h"

using vq_engine::Matrix;

namespace {

const double halfPi = 1.5707963267948966;

// A point through the matrix as GL applies it: column vectors, e[4c + r] is row r, column c.
void transform(const Matrix& m, const double in[3], double out[4]) {
    for (int r = 0; r < 4; r++)
        out[r] = m.e[r] * in[0] + m.e[4 + r] * in[1] + m.e[8 + r] * in[2] + m.e[12 + r];
}

Matrix translation(double x, double y, double z) {
    Matrix m;
    m.translate(x, y, z);
    return m;
}

Matrix rotation(double x, double y, double z) {
    Matrix m;
    m.rotate(x, y, z);
    return m;
}

} // namespace

TEST(Matrix, FreshMatrixIsZeroAndAnnihilatesProducts) {
    Matrix zero;
    for (float value : zero.e)
        EXPECT_EQ(value, 0.0f);
    Matrix product = zero * translation(1, 2, 3);
    Matrix other = rotation(0.3, 0.2, 0.1) * zero;
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(product.e[i], 0.0f);
        EXPECT_EQ(other.e[i], 0.0f);
    }
    EXPECT_EQ(zero.matrix(), &zero.e[0]);
}

TEST(Matrix, TranslateAndScaleReplaceTheWholeMatrix) {
    Matrix m;
    m.translate(1, 2, 3);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(m.e[i], expected[i]) << "element " << i;

    m.scale(2, 3, 4);
    const float scaled[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(m.e[i], scaled[i]) << "element " << i;
}

TEST(Matrix, ProductAppliesTheLeftOperandFirst) {
    Matrix a = translation(1, 0, 0);
    Matrix b = rotation(0, 0, halfPi);
    const double origin[3] = {0, 0, 0};
    double p[4];

    transform(a * b, origin, p); // translate to (1,0,0), then turn +X into +Y
    EXPECT_NEAR(p[0], 0.0, 1e-6);
    EXPECT_NEAR(p[1], 1.0, 1e-6);
    EXPECT_NEAR(p[3], 1.0, 1e-6);

    transform(b * a, origin, p); // the origin does not turn, then moves to (1,0,0)
    EXPECT_NEAR(p[0], 1.0, 1e-6);
    EXPECT_NEAR(p[1], 0.0, 1e-6);

    // The left operand is not changed by the product.
    EXPECT_EQ(a.e[12], 1.0f);
}

TEST(Matrix, ProductSumsLeftToRightInSinglePrecision) {
    Matrix a;
    Matrix b;
    a.e[0] = 1e8f;
    a.e[1] = 1.0f;
    a.e[2] = -1e8f;
    b.e[0] = 1.0f;
    b.e[4] = 1.0f;
    b.e[8] = 1.0f;
    // e0 = 1e8 + 1 - 1e8: the float running sum loses the 1, a wider one would not.
    EXPECT_EQ((a * b).e[0], 0.0f);
}

TEST(Matrix, RotateUsesSinglePrecisionTrigonometry) {
    Matrix identity = rotation(0, 0, 0);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(identity.e[i], i % 5 == 0 ? 1.0f : 0.0f) << "element " << i;

    Matrix quarter = rotation(0, 0, halfPi);
    float cosine = std::cos(float(halfPi));
    EXPECT_NE(cosine, 0.0f);
    EXPECT_EQ(quarter.e[0], cosine);
    EXPECT_EQ(quarter.e[5], cosine);
    EXPECT_EQ(quarter.e[1], 1.0f);
    EXPECT_EQ(quarter.e[4], -1.0f);

    const double unitX[3] = {1, 0, 0};
    double p[4];
    transform(quarter, unitX, p);
    EXPECT_NEAR(p[0], 0.0, 1e-6);
    EXPECT_NEAR(p[1], 1.0, 1e-6);
}

TEST(Matrix, RotateTurnsAboutXThenYThenZ) {
    // +Y turned a quarter about X becomes +Z; a quarter about Y then takes +Z to +X.
    const double unitY[3] = {0, 1, 0};
    double p[4];
    transform(rotation(halfPi, halfPi, 0), unitY, p);
    EXPECT_NEAR(p[0], 1.0, 1e-6);
    EXPECT_NEAR(p[1], 0.0, 1e-6);
    EXPECT_NEAR(p[2], 0.0, 1e-6);
}

TEST(Matrix, PerspectiveWritesOnlyTheFrustumElements) {
    Matrix fresh;
    fresh.perspective(35.0, 1.0, 0.1, 1500.0);
    double cotangent = 1.0 / std::tan(3.141592653589793 * 35.0 / 360.0);
    EXPECT_FLOAT_EQ(fresh.e[0], float(cotangent));
    EXPECT_FLOAT_EQ(fresh.e[5], float(cotangent));
    EXPECT_FLOAT_EQ(fresh.e[10], float(-1500.1 / 1499.9));
    EXPECT_EQ(fresh.e[11], -1.0f);
    EXPECT_FLOAT_EQ(fresh.e[14], float(-300.0 / 1499.9));
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15})
        EXPECT_EQ(fresh.e[i], 0.0f) << "element " << i;

    Matrix wide;
    wide.perspective(35.0, 2.0, 0.1, 1500.0);
    EXPECT_FLOAT_EQ(wide.e[0], float(cotangent / 2.0));

    // On a used matrix the other elements survive.
    Matrix used = rotation(0.4, 0.0, 0.0);
    float survivor = used.e[6];
    used.perspective(35.0, 1.0, 0.1, 1500.0);
    EXPECT_EQ(used.e[6], survivor);
    EXPECT_NE(survivor, 0.0f);
    EXPECT_EQ(used.e[15], 1.0f);
}

TEST(Matrix, LookAtBuildsTheViewMatrix) {
    double eye[3] = {0, 0, 5};
    double center[3] = {0, 0, 0};
    double up[3] = {0, 1, 0};
    Matrix view;
    view.lookAt(eye, center, up);
    for (int i = 0; i < 12; i++) {
        if (i % 4 != 3) {
            EXPECT_EQ(view.e[i], (i % 5 == 0) ? 1.0f : 0.0f) << "element " << i;
        }
    }
    EXPECT_EQ(view.e[12], 0.0f);
    EXPECT_EQ(view.e[13], 0.0f);
    EXPECT_EQ(view.e[14], -5.0f);
    EXPECT_EQ(view.e[15], 1.0f);
}

TEST(Matrix, TheShowsCameraPutsWorldYDownTheScreen) {
    double eye[3] = {0, 0, -2};
    double center[3] = {0, 0, 0};
    double up[3] = {0, -1, 0};
    Matrix view;
    view.lookAt(eye, center, up);
    Matrix projection;
    projection.perspective(35.0, 1.0, 0.1, 1500.0);
    Matrix pmatrix = view * projection;

    double p[4];
    const double right[3] = {0.3, 0, 0};
    transform(pmatrix, right, p);
    EXPECT_GT(p[0] / p[3], 0.0); // +x is right
    EXPECT_NEAR(p[3], 2.0, 1e-6); // two units in front of the eye
    const double below[3] = {0, 0.3, 0};
    transform(pmatrix, below, p);
    EXPECT_LT(p[1] / p[3], 0.0); // +y is down
}

TEST(Matrix, DegenerateInputsGiveNonFiniteResults) {
    double eye[3] = {0, 0, 5};
    double center[3] = {0, 0, 0};
    double parallelUp[3] = {0, 0, 1};
    Matrix view;
    view.lookAt(eye, center, parallelUp);
    EXPECT_FALSE(std::isfinite(view.e[0]));

    Matrix same;
    same.lookAt(eye, eye, parallelUp);
    EXPECT_FALSE(std::isfinite(same.e[2]));

    double zero[3] = {0, 0, 0};
    normalize(zero, 3);
    EXPECT_TRUE(std::isnan(zero[0]));
}

TEST(VectorHelpers, AccumulateInFloat) {
    double v[3] = {3, 0, 4};
    normalize(v, 3);
    EXPECT_DOUBLE_EQ(v[0], 0.6);
    EXPECT_DOUBLE_EQ(v[2], 0.8);

    double a[2] = {1e8, 1.0};
    double b[2] = {1.0, 1.0};
    // 1e8 + 1 is not representable in float: the float sum stays 1e8.
    EXPECT_EQ(dotproduct(a, b, 2), 1e8f);
    EXPECT_EQ(dotproduct(a, b, 0), 0.0f);

    double x[3] = {1, 0, 0};
    double y[3] = {0, 1, 0};
    double z[3];
    crossproduct3v(x, y, z);
    EXPECT_EQ(z[0], 0.0);
    EXPECT_EQ(z[1], 0.0);
    EXPECT_EQ(z[2], 1.0);

    float point[3] = {1, 2, 3};
    blender2opengl(point);
    EXPECT_EQ(point[0], 1.0f);
    EXPECT_EQ(point[1], 3.0f);
    EXPECT_EQ(point[2], -2.0f);
}
