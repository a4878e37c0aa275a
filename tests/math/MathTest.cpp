#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "math/Constants.h"
#include "math/Matrix.h"
#include "math/Utilities.h"
#include "math/Vector.h"
#include "support/GlTestWindow.h"

namespace {

void expectMatrixNear(const Matrix& a, const float* b, float eps = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], eps) << "element " << i;
}

Point transformed(const Matrix& m, double x, double y, double z) {
    auto in = std::make_shared<Point>(Point{x, y, z, 1.0});
    auto out = std::make_shared<Point>();
    m.transformPoint(in, out);
    return *out;
}

// What OpenGL computes for the same sequence of calls on the model-view stack.
Matrix glModelview() {
    Matrix m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
    return m;
}

}  // namespace

TEST(Vector, ProductsDiffAndNormalize) {
    const Vector a(1, 2, 3), b(4, 5, 6);
    EXPECT_DOUBLE_EQ(Vector::dotProduct(a, b), 32.0);
    const Vector c = Vector::crossProduct(a, b);
    EXPECT_DOUBLE_EQ(c.x, -3.0);
    EXPECT_DOUBLE_EQ(c.y, 6.0);
    EXPECT_DOUBLE_EQ(c.z, -3.0);
    // diff runs from the first point to the second.
    const Vector d = Vector::diff(a, b);
    EXPECT_DOUBLE_EQ(d.x, 3.0);
    EXPECT_DOUBLE_EQ(d.y, 3.0);
    EXPECT_DOUBLE_EQ(d.z, 3.0);
    EXPECT_DOUBLE_EQ(Vector::distance(a, b), std::sqrt(27.0));

    Vector n(3, 0, 4);
    const Vector unit = n.normalize();
    EXPECT_DOUBLE_EQ(unit.x, 0.6);
    EXPECT_DOUBLE_EQ(n.z, 0.8);
    EXPECT_NEAR(Vector::angle(Vector(1, 0, 0), Vector(0, 1, 0)), HALF_PI, 1e-12);
}

TEST(Vector, NormalizeZeroWarnsOnceAndLeavesVector) {
    testing::internal::CaptureStdout();
    Vector zero;
    const Vector r = zero.normalize();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\n Vector.normalize(): WARNING! caught division by 0");
    EXPECT_EQ(r.x, 0.0);
    EXPECT_EQ(r.y, 0.0);
    EXPECT_EQ(r.z, 0.0);
    EXPECT_FALSE(std::isnan(zero.x));
}

TEST(Matrix, ElementaryRotationsMovePoints) {
    Point p = transformed(Matrix().rotateZ(HALF_PI), 1, 0, 0);
    EXPECT_NEAR(p.x, 0.0, 1e-6);
    EXPECT_NEAR(p.y, 1.0, 1e-6);
    EXPECT_NEAR(p.z, 0.0, 1e-6);
    EXPECT_DOUBLE_EQ(p.w, 1.0);

    const double a = 0.7;
    p = transformed(Matrix().rotateX(a), 0, 1, 0);
    EXPECT_NEAR(p.y, std::cos(a), 1e-6);
    EXPECT_NEAR(p.z, std::sin(a), 1e-6);

    p = transformed(Matrix().translate(1, 2, 3), 1, 1, 1);
    EXPECT_NEAR(p.x, 2.0, 1e-6);
    EXPECT_NEAR(p.y, 3.0, 1e-6);
    EXPECT_NEAR(p.z, 4.0, 1e-6);
}

TEST(Matrix, IdentityIsNeutralOnBothSides) {
    Matrix m;
    for (int i = 0; i < 16; ++i) m[i] = static_cast<float>(i * 1.5 - 7);
    Matrix left(m), right;
    left.mult(Matrix());
    right.mult(m);
    expectMatrixNear(left, m.m, 0.0f);
    expectMatrixNear(right, m.m, 0.0f);
}

TEST(Matrix, RigidInverseGivesIdentity) {
    Matrix m;
    m.translate(1, 2, 3).rotateY(0.5).rotateX(-1.2);
    Matrix inv(m);
    inv.invertGL();
    Matrix product(m);
    product.mult(inv);
    expectMatrixNear(product, Matrix().m, 1e-5f);
    Matrix other(inv);
    other.mult(m);
    expectMatrixNear(other, Matrix().m, 1e-5f);
}

TEST(Matrix, SelfProductUsesTheOldValues) {
    Matrix m;
    m.translate(1, 0, 0);
    m.mult(m);
    EXPECT_FLOAT_EQ(m[12], 2.0f);
}

TEST(Matrix, AgreesWithOpenGL) {
    REQUIRE_GL();
    glMatrixMode(GL_MODELVIEW);

    // Accumulating operations follow glTranslatef / glRotatef / glScalef (degrees there).
    glLoadIdentity();
    glTranslatef(1.5f, -2.0f, 3.0f);
    glRotatef(30.0f, 0, 1, 0);
    glRotatef(-45.0f, 1, 0, 0);
    glRotatef(60.0f, 0, 0, 1);
    glScalef(2.0f, 0.5f, 1.5f);
    Matrix ours;
    ours.translate(1.5f, -2.0f, 3.0f)
        .rotateY(30 * PI_OVER_180)
        .rotateX(-45 * PI_OVER_180)
        .rotateZ(60 * PI_OVER_180)
        .scale(2.0f, 0.5f, 1.5f);
    expectMatrixNear(ours, glModelview().m);

    // A general product, as glMultMatrixf computes it.
    Matrix a, b;
    for (int i = 0; i < 16; ++i) {
        a[i] = static_cast<float>(std::sin(i + 1.0));
        b[i] = static_cast<float>(std::cos(i * 0.7));
    }
    glLoadMatrixf(a.m);
    glMultMatrixf(b.m);
    Matrix product(a);
    product.mult(b);
    expectMatrixNear(product, glModelview().m);

    // The rigid inverse undoes the transform GL built.
    glLoadIdentity();
    glTranslatef(-4.0f, 0.25f, 9.0f);
    glRotatef(123.0f, 0.3f, 0.8f, -0.5f);
    Matrix rigid = glModelview();
    Matrix inverse(rigid);
    inverse.invertGL();
    glMultMatrixf(inverse.m);
    expectMatrixNear(glModelview(), Matrix().m, 1e-5f);
    glLoadIdentity();
}

TEST(Utilities, RandomCoversZeroToOneInclusive) {
    std::srand(1);
    double lowest = 1.0, highest = 0.0;
    for (int i = 0; i < 20000; ++i) {
        const double r = Utilities<float>::random();
        ASSERT_GE(r, 0.0);
        ASSERT_LE(r, 1.0);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    // Spread over the whole range, not a scaled-down part of it.
    EXPECT_LT(lowest, 0.01);
    EXPECT_GT(highest, 0.99);
}

TEST(Utilities, ArraysHoldTheirValues) {
    FloatArray c = Utilities<float>::createArray(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_FLOAT_EQ(c[3], 0.4f);
    Utilities<float>::setArrayValues(c.get(), 1, 2, 3);
    EXPECT_FLOAT_EQ(c[2], 3.0f);
    EXPECT_FLOAT_EQ(c[3], 0.4f);
    EXPECT_FLOAT_EQ(Utilities<float>::createArray(7.0f)[0], 7.0f);
}

TEST(Utilities, ExtractStringReturnsQuotedTextsInTurn) {
    std::string line = "word \"abc\" \"de\"";
    EXPECT_EQ(Utilities<char>::extractString(line), "abc");
    EXPECT_EQ(line, " \"de\"");
    EXPECT_EQ(Utilities<char>::extractString(line), "de");
    EXPECT_EQ(line, "");
    // A missing closing quote takes the rest of the line instead of reading on.
    line = "\"unterminated";
    EXPECT_EQ(Utilities<char>::extractString(line), "unterminated");
    EXPECT_EQ(line, "");
    // Texts longer than the old 256-byte buffers come back whole.
    const std::string longText(1000, 'x');
    line = "\"" + longText + "\" rest";
    EXPECT_EQ(Utilities<char>::extractString(line), longText);
    EXPECT_EQ(line, " rest");
}

TEST(Utilities, CreateStringFormatsAnyLength) {
    EXPECT_EQ(Utilities<char>::createString("%s_%i_%i.jpg", "terrain", 3, 7), "terrain_3_7.jpg");
    EXPECT_EQ(Utilities<char>::createString("%s", std::string(5000, 'y').c_str()).size(), 5000u);
}
