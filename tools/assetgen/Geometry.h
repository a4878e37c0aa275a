// Small vector and transform helpers for building models and pictures.
// The generator stays independent of the engine, so it keeps its own.
#pragma once

#include <cmath>

namespace assetgen {

constexpr float PI_F = 3.14159265358979f;

struct Vec2 {
    float x = 0, y = 0;
    Vec2() = default;
    Vec2(float x_, float y_) : x(x_), y(y_) {}
    Vec2 operator+(Vec2 o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(Vec2 o) const { return {x - o.x, y - o.y}; }
    Vec2 operator*(float s) const { return {x * s, y * s}; }
};

struct Vec3 {
    float x = 0, y = 0, z = 0;
    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(Vec3 o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(Vec3 o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3& operator+=(Vec3 o) { x += o.x; y += o.y; z += o.z; return *this; }
};

inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(Vec3 a) {
    float l = length(a);
    return l > 1e-12f ? a * (1.0f / l) : Vec3(0, 1, 0);
}
inline Vec3 lerp(Vec3 a, Vec3 b, float t) { return a + (b - a) * t; }

// An affine transform: a 3x3 linear part (rows) and a translation.
struct Affine {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;

    Vec3 point(Vec3 p) const { return linear(p) + t; }
    Vec3 linear(Vec3 v) const {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
                m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
    // Normals transform with the inverse transpose; for the rotations and
    // mild non-uniform scales used here the cofactor matrix does that.
    Vec3 normal(Vec3 n) const {
        Vec3 c0(m[0][0], m[1][0], m[2][0]), c1(m[0][1], m[1][1], m[2][1]), c2(m[0][2], m[1][2], m[2][2]);
        Vec3 r0 = cross(c1, c2), r1 = cross(c2, c0), r2 = cross(c0, c1);
        return normalized(r0 * n.x + r1 * n.y + r2 * n.z);
    }
    bool mirrors() const {
        Vec3 c0(m[0][0], m[1][0], m[2][0]), c1(m[0][1], m[1][1], m[2][1]), c2(m[0][2], m[1][2], m[2][2]);
        return dot(cross(c0, c1), c2) < 0;
    }
    // this * o: apply o first, then this.
    Affine operator*(const Affine& o) const {
        Affine r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
        r.t = point(o.t);
        return r;
    }

    static Affine translate(Vec3 v) { Affine a; a.t = v; return a; }
    static Affine translate(float x, float y, float z) { return translate(Vec3(x, y, z)); }
    static Affine scale(float x, float y, float z) {
        Affine a;
        a.m[0][0] = x; a.m[1][1] = y; a.m[2][2] = z;
        return a;
    }
    static Affine scale(float s) { return scale(s, s, s); }
    // Rotations in degrees, right-handed, as glRotatef turns.
    static Affine rotateX(float deg) {
        float r = deg * PI_F / 180, c = std::cos(r), s = std::sin(r);
        Affine a;
        a.m[1][1] = c; a.m[1][2] = -s; a.m[2][1] = s; a.m[2][2] = c;
        return a;
    }
    static Affine rotateY(float deg) {
        float r = deg * PI_F / 180, c = std::cos(r), s = std::sin(r);
        Affine a;
        a.m[0][0] = c; a.m[0][2] = s; a.m[2][0] = -s; a.m[2][2] = c;
        return a;
    }
    static Affine rotateZ(float deg) {
        float r = deg * PI_F / 180, c = std::cos(r), s = std::sin(r);
        Affine a;
        a.m[0][0] = c; a.m[0][1] = -s; a.m[1][0] = s; a.m[1][1] = c;
        return a;
    }
};

// The transform that leaves every point where it is.
inline const Affine IDENTITY;

inline float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline float mixf(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace assetgen
