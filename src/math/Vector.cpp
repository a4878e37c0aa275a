#include "math/Vector.h"

#include <cmath>
#include <cstdio>

Vector Vector::set(const Vector& v) { return set(v.x, v.y, v.z); }

Vector Vector::set(double nx, double ny, double nz) {
    x = nx;
    y = ny;
    z = nz;
    return *this;
}

Vector Vector::set(const double* xyz) { return set(xyz[0], xyz[1], xyz[2]); }

void Vector::scale(double factor) {
    x *= factor;
    y *= factor;
    z *= factor;
}

double Vector::length() const { return std::sqrt(x * x + y * y + z * z); }

Vector Vector::normalize() {
    const double len = length();
    if (len == 0.0) {
        std::printf("\n Vector.normalize(): WARNING! caught division by 0");
        return Vector();
    }
    scale(1.0 / len);
    return *this;
}

double Vector::dotProduct(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector Vector::crossProduct(const Vector& a, const Vector& b) {
    return Vector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

Vector Vector::add(const Vector& a, const Vector& b) { return Vector(a.x + b.x, a.y + b.y, a.z + b.z); }

Vector Vector::diff(const Vector& start, const Vector& end) {
    return Vector(end.x - start.x, end.y - start.y, end.z - start.z);
}

double Vector::angle(const Vector& a, const Vector& b) { return std::acos(dotProduct(a, b)); }

double Vector::distance(const Vector& a, const Vector& b) { return diff(a, b).length(); }
