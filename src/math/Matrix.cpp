#include "math/Matrix.h"

#include <cmath>
#include <cstring>
#include <utility>

Matrix& Matrix::setIdentity() {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    return *this;
}

Matrix& Matrix::set(const Matrix& other) { return set(other.m); }

Matrix& Matrix::set(const float* values) {
    std::memmove(m, values, sizeof(m));
    return *this;
}

Matrix& Matrix::setScale(float sx, float sy, float sz) {
    setIdentity();
    m[0] = sx;
    m[5] = sy;
    m[10] = sz;
    return *this;
}

Matrix& Matrix::setTranslate(float tx, float ty, float tz) {
    setIdentity();
    m[12] = tx;
    m[13] = ty;
    m[14] = tz;
    return *this;
}

// Rotations are written row by row in the comments; storage is column-major.
Matrix& Matrix::setRotateX(double a) {
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    setIdentity();
    m[5] = c;   // (1,1)
    m[9] = -s;  // (1,2)
    m[6] = s;   // (2,1)
    m[10] = c;  // (2,2)
    return *this;
}

Matrix& Matrix::setRotateY(double a) {
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    setIdentity();
    m[0] = c;   // (0,0)
    m[8] = s;   // (0,2)
    m[2] = -s;  // (2,0)
    m[10] = c;  // (2,2)
    return *this;
}

Matrix& Matrix::setRotateZ(double a) {
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    setIdentity();
    m[0] = c;   // (0,0)
    m[4] = -s;  // (0,1)
    m[1] = s;   // (1,0)
    m[5] = c;   // (1,1)
    return *this;
}

Matrix& Matrix::scale(float sx, float sy, float sz) { return mult(Matrix().setScale(sx, sy, sz)); }
Matrix& Matrix::rotateX(double a) { return mult(Matrix().setRotateX(a)); }
Matrix& Matrix::rotateY(double a) { return mult(Matrix().setRotateY(a)); }
Matrix& Matrix::rotateZ(double a) { return mult(Matrix().setRotateZ(a)); }
Matrix& Matrix::translate(float tx, float ty, float tz) { return mult(Matrix().setTranslate(tx, ty, tz)); }

Matrix& Matrix::mult(const Matrix& right) {
    // Work on a copy of the left operand so that m.mult(m) is correct too.
    const Matrix left(*this);
    const Matrix r(right);
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += left.m[4 * k + row] * r.m[4 * c + k];
            m[4 * c + row] = sum;
        }
    }
    return *this;
}

Matrix& Matrix::invertGL() {
    // For M = T(t) * R the inverse is R^T * T(-t).
    std::swap(m[1], m[4]);
    std::swap(m[2], m[8]);
    std::swap(m[6], m[9]);
    const float tx = m[12], ty = m[13], tz = m[14];
    m[12] = m[13] = m[14] = 0.0f;
    return translate(-tx, -ty, -tz);
}

Point Matrix::transformPoint(const Point& in) const {
    Point out;
    out.x = m[0] * in.x + m[4] * in.y + m[8] * in.z + m[12] * in.w;
    out.y = m[1] * in.x + m[5] * in.y + m[9] * in.z + m[13] * in.w;
    out.z = m[2] * in.x + m[6] * in.y + m[10] * in.z + m[14] * in.w;
    out.w = m[3] * in.x + m[7] * in.y + m[11] * in.z + m[15] * in.w;
    return out;
}

void Matrix::transformPoint(const std::shared_ptr<Point>& in, const std::shared_ptr<Point>& out) const {
    if (!in || !out) return;
    *out = transformPoint(*in);
}

void Matrix::toArray(double* array) const {
    for (int i = 0; i < 16; ++i) array[i] = m[i];
}
