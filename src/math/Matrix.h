#pragma once
#include <memory>

#include "math/Point.h"

// A 4x4 float matrix in OpenGL's column-major layout: element (row r, column c)
// is m[4c + r], the translation sits in m[12..14]. The array can be handed to
// glMultMatrixf and to the physics interface unchanged. Angles are radians;
// every operation returns the matrix so calls can be chained.
class Matrix {
public:
    float m[16];

    Matrix() { setIdentity(); }
    Matrix(const Matrix& other) = default;
    Matrix& operator=(const Matrix& other) = default;

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
    float* data() { return m; }
    const float* data() const { return m; }

    Matrix& setIdentity();
    Matrix& set(const Matrix& other);
    Matrix& set(const float* values);

    // Overwrite with an elementary matrix.
    Matrix& setScale(float sx, float sy, float sz);
    Matrix& setTranslate(float tx, float ty, float tz);
    Matrix& setRotateX(double a);
    Matrix& setRotateY(double a);
    Matrix& setRotateZ(double a);

    // Post-multiply by an elementary matrix (as glScalef, glRotatef, glTranslatef do).
    Matrix& scale(float sx, float sy, float sz);
    Matrix& rotateX(double a);
    Matrix& rotateY(double a);
    Matrix& rotateZ(double a);
    Matrix& translate(float tx, float ty, float tz);

    // this = this x right
    Matrix& mult(const Matrix& right);
    // Inverts a rigid transformation (rotation and translation only).
    Matrix& invertGL();

    // out = this x in, all four components.
    void transformPoint(const std::shared_ptr<Point>& in, const std::shared_ptr<Point>& out) const;
    Point transformPoint(const Point& in) const;
    void toArray(double* array) const;
};
