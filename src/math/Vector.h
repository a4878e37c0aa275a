#pragma once

// A 3-component double vector, passed by value.
class Vector {
public:
    double x = 0.0, y = 0.0, z = 0.0;

    Vector() = default;
    Vector(double x, double y, double z) : x(x), y(y), z(z) {}

    Vector set(const Vector& v);
    Vector set(double x, double y, double z);
    Vector set(const double* xyz);

    void scale(double factor);
    double length() const;
    // Divides in place by the length; a zero vector is left unchanged (with a warning).
    Vector normalize();

    static double dotProduct(const Vector& a, const Vector& b);
    static Vector crossProduct(const Vector& a, const Vector& b);
    static Vector add(const Vector& a, const Vector& b);
    // pointEnd - pointStart
    static Vector diff(const Vector& pointStart, const Vector& pointEnd);
    // Angle between two unit vectors, in radians.
    static double angle(const Vector& a, const Vector& b);
    static double distance(const Vector& a, const Vector& b);
};
