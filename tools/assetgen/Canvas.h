// A floating-point RGBA picture with anti-aliased drawing, and the masks
// (shape coverage) it is painted through. Row 0 is the top of the picture.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Geometry.h"

namespace assetgen {

struct Colour {
    float r = 0, g = 0, b = 0, a = 0;
    Colour() = default;
    Colour(float r_, float g_, float b_, float a_ = 1) : r(r_), g(g_), b(b_), a(a_) {}
    static Colour rgb(uint32_t hex, float alpha = 1);
    Colour withAlpha(float alpha) const { return {r, g, b, alpha}; }
    Colour scaled(float f) const { return {r * f, g * f, b * f, a}; }
};

Colour mix(Colour a, Colour b, float t);

// Coverage (0..1) of a shape over a rectangle of canvas pixels.
class Mask {
public:
    Mask() = default;
    Mask(int x0, int y0, int w, int h);

    int left() const { return x0; }
    int top() const { return y0; }
    int width() const { return w; }
    int height() const { return h; }
    float at(int x, int y) const;  // canvas coordinates; 0 outside
    float& cell(int lx, int ly) { return v[static_cast<size_t>(ly) * w + lx]; }

    // Filled polygons (non-zero winding); points in pixel units.
    static Mask polygon(const std::vector<std::vector<Vec2>>& contours);
    static Mask polygon(const std::vector<Vec2>& points) { return polygon(std::vector<std::vector<Vec2>>{points}); }
    // A shape given by its signed distance in pixels (negative inside),
    // evaluated at pixel centres over the box.
    static Mask distance(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& sdf);
    static Mask circle(float cx, float cy, float r);
    static Mask ring(float cx, float cy, float r, float width);
    static Mask roundRect(float x0, float y0, float x1, float y1, float radius);
    static Mask line(Vec2 a, Vec2 b, float width);

    Mask grown(float radius) const;   // the shape widened by radius (outlines)
    Mask blurred(float radius) const; // soft shadows
    Mask moved(int dx, int dy) const;
    Mask united(const Mask& other) const;
    Mask minus(const Mask& other) const;
    Mask times(float f) const;

private:
    int x0 = 0, y0 = 0, w = 0, h = 0;
    std::vector<float> v;
};

using Paint = std::function<Colour(float x, float y)>;

class Canvas {
public:
    Canvas() = default;
    Canvas(int w, int h, Colour fill = {});

    int width() const { return w; }
    int height() const { return h; }
    Colour get(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    void set(int x, int y, Colour c) { px[static_cast<size_t>(y) * w + x] = c; }
    // Bilinear sample at u, v in [0, 1] (v = 0 at the top); wraps when asked.
    Colour sample(float u, float v, bool wrap = false) const;

    // Paints every pixel from a function of its centre.
    void paint(const Paint& p);
    void fill(const Mask& m, Colour c);
    void fill(const Mask& m, const Paint& p);
    void blend(int x, int y, Colour c);
    // Draws another picture scaled into a rectangle (source-over).
    void draw(const Canvas& src, float x, float y, float width, float height);
    Canvas resized(int width, int height) const;

    // Encodings. With dither, a tiny deterministic noise hides banding in
    // smooth gradients.
    std::vector<uint8_t> png(bool alpha, bool dither = true) const;
    std::vector<uint8_t> jpg(int quality, bool dither = false) const;
    std::vector<uint8_t> greyPng() const;

private:
    int w = 0, h = 0;
    std::vector<Colour> px;

    std::vector<uint8_t> bytes(int channels, bool dither) const;
};

// Linear gradient paint from a (colour ca) to b (colour cb).
Paint linearGradient(Vec2 a, Colour ca, Vec2 b, Colour cb);
Paint radialGradient(Vec2 centre, float radius, Colour inner, Colour outer);

}  // namespace assetgen
