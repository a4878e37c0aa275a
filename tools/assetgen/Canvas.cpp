#include "Canvas.h"

#include <algorithm>
#include <cmath>

#include "Noise.h"
#include "stb_image_write.h"

namespace assetgen {

Colour Colour::rgb(uint32_t hex, float alpha) {
    return {((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f, alpha};
}

Colour mix(Colour a, Colour b, float t) {
    return {mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t), mixf(a.a, b.a, t)};
}

// --- Mask ---------------------------------------------------------------

Mask::Mask(int x0_, int y0_, int w_, int h_)
    : x0(x0_), y0(y0_), w(std::max(w_, 0)), h(std::max(h_, 0)), v(static_cast<size_t>(w) * h, 0.0f) {}

float Mask::at(int x, int y) const {
    int lx = x - x0, ly = y - y0;
    if (lx < 0 || ly < 0 || lx >= w || ly >= h) return 0;
    return v[static_cast<size_t>(ly) * w + lx];
}

Mask Mask::polygon(const std::vector<std::vector<Vec2>>& contours) {
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (const auto& c : contours)
        for (const Vec2& p : c) {
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
    if (minX > maxX) return Mask();
    const int bx = static_cast<int>(std::floor(minX)), by = static_cast<int>(std::floor(minY));
    Mask m(bx, by, static_cast<int>(std::ceil(maxX)) - bx + 1, static_cast<int>(std::ceil(maxY)) - by + 1);
    struct Crossing {
        float x;
        int dir;
    };
    const int sub = 5;
    std::vector<Crossing> xs;
    std::vector<float> row(m.w + 1);
    for (int ly = 0; ly < m.h; ++ly) {
        std::fill(row.begin(), row.end(), 0.0f);
        for (int s = 0; s < sub; ++s) {
            float y = by + ly + (s + 0.5f) / sub;
            xs.clear();
            for (const auto& c : contours)
                for (size_t i = 0; i < c.size(); ++i) {
                    Vec2 a = c[i], b = c[(i + 1) % c.size()];
                    if ((a.y <= y && b.y > y) || (b.y <= y && a.y > y)) {
                        float t = (y - a.y) / (b.y - a.y);
                        xs.push_back({a.x + t * (b.x - a.x), b.y > a.y ? 1 : -1});
                    }
                }
            std::sort(xs.begin(), xs.end(), [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
            int winding = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                winding += xs[i].dir;
                if (winding == 0) continue;
                float xa = xs[i].x - bx, xb = xs[i + 1].x - bx;
                if (xb <= xa) continue;
                int ia = static_cast<int>(std::floor(xa)), ib = static_cast<int>(std::floor(xb));
                ia = std::max(ia, 0);
                ib = std::min(ib, m.w - 1);
                for (int x = ia; x <= ib; ++x) {
                    float cover = std::min(xb, x + 1.0f) - std::max(xa, static_cast<float>(x));
                    if (cover > 0) row[x] += cover / sub;
                }
            }
        }
        for (int x = 0; x < m.w; ++x) m.cell(x, ly) = std::min(row[x], 1.0f);
    }
    return m;
}

Mask Mask::distance(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& sdf) {
    const int bx = static_cast<int>(std::floor(x0)) - 1, by = static_cast<int>(std::floor(y0)) - 1;
    Mask m(bx, by, static_cast<int>(std::ceil(x1)) - bx + 2, static_cast<int>(std::ceil(y1)) - by + 2);
    for (int ly = 0; ly < m.h; ++ly)
        for (int lx = 0; lx < m.w; ++lx) m.cell(lx, ly) = clamp01(0.5f - sdf(bx + lx + 0.5f, by + ly + 0.5f));
    return m;
}

Mask Mask::circle(float cx, float cy, float r) {
    return distance(cx - r, cy - r, cx + r, cy + r,
                    [=](float x, float y) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r; });
}

Mask Mask::ring(float cx, float cy, float r, float width) {
    float o = r + width / 2;
    return distance(cx - o, cy - o, cx + o, cy + o, [=](float x, float y) {
        return std::fabs(std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r) - width / 2;
    });
}

Mask Mask::roundRect(float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
    radius = std::min({radius, hx, hy});
    return distance(x0, y0, x1, y1, [=](float x, float y) {
        float qx = std::fabs(x - cx) - (hx - radius), qy = std::fabs(y - cy) - (hy - radius);
        float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
    });
}

Mask Mask::line(Vec2 a, Vec2 b, float width) {
    float r = width / 2;
    return distance(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r,
                    [=](float x, float y) {
                        Vec2 pa(x - a.x, y - a.y), ba = b - a;
                        float len2 = ba.x * ba.x + ba.y * ba.y;
                        float t = len2 > 0 ? clamp01((pa.x * ba.x + pa.y * ba.y) / len2) : 0;
                        float dx = pa.x - ba.x * t, dy = pa.y - ba.y * t;
                        return std::sqrt(dx * dx + dy * dy) - r;
                    });
}

Mask Mask::grown(float radius) const {
    const int R = static_cast<int>(std::ceil(radius)) + 1;
    Mask m(x0 - R, y0 - R, w + 2 * R, h + 2 * R);
    std::vector<std::pair<int, int>> offsets;
    for (int dy = -R; dy <= R; ++dy)
        for (int dx = -R; dx <= R; ++dx)
            if (dx * dx + dy * dy <= (R + 1) * (R + 1)) offsets.emplace_back(dx, dy);
    for (int ly = 0; ly < m.h; ++ly)
        for (int lx = 0; lx < m.w; ++lx) {
            int x = m.x0 + lx, y = m.y0 + ly;
            float best = 1e9f;
            for (const auto& o : offsets) {
                float c = at(x + o.first, y + o.second);
                if (c <= 0) continue;
                // Distance to the shape's edge inside that pixel, roughly.
                float d = std::sqrt(static_cast<float>(o.first * o.first + o.second * o.second)) + (0.5f - c);
                best = std::min(best, d);
            }
            m.cell(lx, ly) = std::max(at(x, y), clamp01(radius + 0.5f - best));
        }
    return m;
}

Mask Mask::blurred(float radius) const {
    const int r = std::max(1, static_cast<int>(std::round(radius / 1.7f)));
    const int pad = 3 * r + 1;
    Mask m(x0 - pad, y0 - pad, w + 2 * pad, h + 2 * pad);
    for (int ly = 0; ly < m.h; ++ly)
        for (int lx = 0; lx < m.w; ++lx) m.cell(lx, ly) = at(m.x0 + lx, m.y0 + ly);
    // Three box blurs (close to a Gaussian), each a running sum per line.
    std::vector<float> sums(std::max(m.w, m.h) + 1);
    auto boxLine = [&](int count, auto get, auto set) {
        sums[0] = 0;
        for (int i = 0; i < count; ++i) sums[i + 1] = sums[i] + get(i);
        for (int i = 0; i < count; ++i) {
            int a = std::max(0, i - r), b = std::min(count, i + r + 1);
            set(i, (sums[b] - sums[a]) / (2 * r + 1));
        }
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (int ly = 0; ly < m.h; ++ly)
            boxLine(m.w, [&](int i) { return m.cell(i, ly); }, [&](int i, float v) { m.cell(i, ly) = v; });
        for (int lx = 0; lx < m.w; ++lx)
            boxLine(m.h, [&](int i) { return m.cell(lx, i); }, [&](int i, float v) { m.cell(lx, i) = v; });
    }
    return m;
}

Mask Mask::moved(int dx, int dy) const {
    Mask m = *this;
    m.x0 += dx;
    m.y0 += dy;
    return m;
}

Mask Mask::united(const Mask& o) const {
    if (w == 0) return o;
    if (o.w == 0) return *this;
    int ax = std::min(x0, o.x0), ay = std::min(y0, o.y0);
    int bx = std::max(x0 + w, o.x0 + o.w), by = std::max(y0 + h, o.y0 + o.h);
    Mask m(ax, ay, bx - ax, by - ay);
    for (int ly = 0; ly < m.h; ++ly)
        for (int lx = 0; lx < m.w; ++lx)
            m.cell(lx, ly) = std::max(at(ax + lx, ay + ly), o.at(ax + lx, ay + ly));
    return m;
}

Mask Mask::minus(const Mask& o) const {
    Mask m = *this;
    for (int ly = 0; ly < h; ++ly)
        for (int lx = 0; lx < w; ++lx) m.cell(lx, ly) *= 1 - o.at(x0 + lx, y0 + ly);
    return m;
}

Mask Mask::times(float f) const {
    Mask m = *this;
    for (float& c : m.v) c *= f;
    return m;
}

// --- Canvas -------------------------------------------------------------

Canvas::Canvas(int w_, int h_, Colour fill) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_, fill) {}

Colour Canvas::sample(float u, float v, bool wrap) const {
    float x = u * w - 0.5f, y = v * h - 0.5f;
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float tx = x - ix, ty = y - iy;
    auto fetch = [&](int sx, int sy) {
        if (wrap) {
            sx = ((sx % w) + w) % w;
            sy = ((sy % h) + h) % h;
        } else {
            sx = std::clamp(sx, 0, w - 1);
            sy = std::clamp(sy, 0, h - 1);
        }
        return get(sx, sy);
    };
    return mix(mix(fetch(ix, iy), fetch(ix + 1, iy), tx), mix(fetch(ix, iy + 1), fetch(ix + 1, iy + 1), tx), ty);
}

void Canvas::paint(const Paint& p) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) set(x, y, p(x + 0.5f, y + 0.5f));
}

void Canvas::blend(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= w || y >= h || c.a <= 0) return;
    Colour& d = px[static_cast<size_t>(y) * w + x];
    float a = c.a + d.a * (1 - c.a);
    if (a <= 0) return;
    float k = d.a * (1 - c.a);
    d = {(c.r * c.a + d.r * k) / a, (c.g * c.a + d.g * k) / a, (c.b * c.a + d.b * k) / a, a};
}

void Canvas::fill(const Mask& m, Colour c) {
    fill(m, [c](float, float) { return c; });
}

void Canvas::fill(const Mask& m, const Paint& p) {
    for (int ly = 0; ly < m.height(); ++ly) {
        int y = m.top() + ly;
        if (y < 0 || y >= h) continue;
        for (int lx = 0; lx < m.width(); ++lx) {
            int x = m.left() + lx;
            if (x < 0 || x >= w) continue;
            float cover = m.at(x, y);
            if (cover <= 0) continue;
            Colour c = p(x + 0.5f, y + 0.5f);
            c.a *= cover;
            blend(x, y, c);
        }
    }
}

Canvas Canvas::resized(int nw, int nh) const {
    Canvas out(nw, nh);
    // Box filter over the source footprint of each target pixel.
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x) {
            float sx0 = static_cast<float>(x) * w / nw, sx1 = static_cast<float>(x + 1) * w / nw;
            float sy0 = static_cast<float>(y) * h / nh, sy1 = static_cast<float>(y + 1) * h / nh;
            int ix0 = static_cast<int>(sx0), ix1 = std::max(ix0 + 1, static_cast<int>(std::ceil(sx1)));
            int iy0 = static_cast<int>(sy0), iy1 = std::max(iy0 + 1, static_cast<int>(std::ceil(sy1)));
            float r = 0, g = 0, b = 0, a = 0;
            int n = 0;
            for (int sy = iy0; sy < std::min(iy1, h); ++sy)
                for (int sx = ix0; sx < std::min(ix1, w); ++sx) {
                    Colour c = get(sx, sy);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                    ++n;
                }
            out.set(x, y, a > 0 ? Colour(r / a, g / a, b / a, a / n) : Colour(0, 0, 0, 0));
        }
    return out;
}

void Canvas::draw(const Canvas& src, float x, float y, float width, float height) {
    const int tw = std::max(1, static_cast<int>(std::lround(width))), th = std::max(1, static_cast<int>(std::lround(height)));
    Canvas scaled = (tw == src.w && th == src.h) ? src : src.resized(tw, th);
    const int ox = static_cast<int>(std::lround(x)), oy = static_cast<int>(std::lround(y));
    for (int sy = 0; sy < th; ++sy)
        for (int sx = 0; sx < tw; ++sx) blend(ox + sx, oy + sy, scaled.get(sx, sy));
}

std::vector<uint8_t> Canvas::bytes(int channels, bool dither) const {
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * channels);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Colour& c = px[static_cast<size_t>(y) * w + x];
            float d = dither ? (static_cast<float>(hash2(x, y, 77) & 255) / 255.0f - 0.5f) : 0.0f;
            const float v[4] = {c.r, c.g, c.b, c.a};
            uint8_t* o = &out[(static_cast<size_t>(y) * w + x) * channels];
            if (channels == 1) {
                o[0] = static_cast<uint8_t>(std::lround(clamp01(c.r) * 255));
                continue;
            }
            for (int k = 0; k < channels; ++k)
                o[k] = static_cast<uint8_t>(std::clamp(std::lround(clamp01(v[k]) * 255 + d), 0l, 255l));
        }
    return out;
}

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

}  // namespace

std::vector<uint8_t> Canvas::png(bool alpha, bool dither) const {
    const int channels = alpha ? 4 : 3;
    std::vector<uint8_t> raw = bytes(channels, dither), out;
    stbi_write_png_to_func(appendBytes, &out, w, h, channels, raw.data(), w * channels);
    return out;
}

std::vector<uint8_t> Canvas::jpg(int quality, bool dither) const {
    std::vector<uint8_t> raw = bytes(3, dither), out;
    stbi_write_jpg_to_func(appendBytes, &out, w, h, 3, raw.data(), quality);
    return out;
}

std::vector<uint8_t> Canvas::greyPng() const {
    std::vector<uint8_t> raw = bytes(1, false), out;
    stbi_write_png_to_func(appendBytes, &out, w, h, 1, raw.data(), w);
    return out;
}

Paint linearGradient(Vec2 a, Colour ca, Vec2 b, Colour cb) {
    Vec2 d = b - a;
    float len2 = d.x * d.x + d.y * d.y;
    return [=](float x, float y) {
        float t = len2 > 0 ? clamp01(((x - a.x) * d.x + (y - a.y) * d.y) / len2) : 0;
        return mix(ca, cb, t);
    };
}

Paint radialGradient(Vec2 c, float radius, Colour inner, Colour outer) {
    return [=](float x, float y) {
        float t = clamp01(std::sqrt((x - c.x) * (x - c.x) + (y - c.y) * (y - c.y)) / radius);
        return mix(inner, outer, t);
    };
}

}  // namespace assetgen
