#include "Shapes.h"

#include <cmath>

namespace assetgen::shapes {

void quad(Mesh& mesh, const Affine& xf, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3 outside, Vec2 uv0, Vec2 uv1,
          Vec2 uv2, Vec2 uv3) {
    size_t first = mesh.triangles.size();
    Vec3 out = xf.linear(outside);
    int a = mesh.vertex(xf.point(p0), uv0.x, uv0.y);
    int b = mesh.vertex(xf.point(p1), uv1.x, uv1.y);
    int c = mesh.vertex(xf.point(p2), uv2.x, uv2.y);
    int d = mesh.vertex(xf.point(p3), uv3.x, uv3.y);
    mesh.triangle(a, b, c, out);
    mesh.triangle(a, c, d, out);
    mesh.smooth(first, 1);
}

void box(Mesh& mesh, const Affine& xf, Vec3 lo, Vec3 hi, float uvPerUnit) {
    const Vec3 s = hi - lo;
    auto uv = [&](float w, float h, float u, float v) {
        return uvPerUnit > 0 ? Vec2(u * w * uvPerUnit, v * h * uvPerUnit) : Vec2(u, v);
    };
    // Each face: corners counter-clockwise seen from outside, u along the
    // first edge, v along the last.
    quad(mesh, xf, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {0, 0, 1},
         uv(s.x, s.y, 0, 0), uv(s.x, s.y, 1, 0), uv(s.x, s.y, 1, 1), uv(s.x, s.y, 0, 1));
    quad(mesh, xf, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {0, 0, -1},
         uv(s.x, s.y, 0, 0), uv(s.x, s.y, 1, 0), uv(s.x, s.y, 1, 1), uv(s.x, s.y, 0, 1));
    quad(mesh, xf, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {1, 0, 0},
         uv(s.z, s.y, 0, 0), uv(s.z, s.y, 1, 0), uv(s.z, s.y, 1, 1), uv(s.z, s.y, 0, 1));
    quad(mesh, xf, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {-1, 0, 0},
         uv(s.z, s.y, 0, 0), uv(s.z, s.y, 1, 0), uv(s.z, s.y, 1, 1), uv(s.z, s.y, 0, 1));
    quad(mesh, xf, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}, {0, 1, 0},
         uv(s.x, s.z, 0, 0), uv(s.x, s.z, 1, 0), uv(s.x, s.z, 1, 1), uv(s.x, s.z, 0, 1));
    quad(mesh, xf, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}, {0, -1, 0},
         uv(s.x, s.z, 0, 0), uv(s.x, s.z, 1, 0), uv(s.x, s.z, 1, 1), uv(s.x, s.z, 0, 1));
}

void bevelBox(Mesh& mesh, const Affine& xf, Vec3 lo, Vec3 hi, float bevel) {
    // Rings along y: the bottom outline, the outline just under the top
    // bevel, and the shrunk top outline.
    auto ring = [&](float y, float inset) {
        float b = bevel;
        return std::vector<Vec3>{{lo.x + inset + b, y, lo.z + inset}, {hi.x - inset - b, y, lo.z + inset},
                                 {hi.x - inset, y, lo.z + inset + b}, {hi.x - inset, y, hi.z - inset - b},
                                 {hi.x - inset - b, y, hi.z - inset}, {lo.x + inset + b, y, hi.z - inset},
                                 {lo.x + inset, y, hi.z - inset - b}, {lo.x + inset, y, lo.z + inset + b}};
    };
    loft(mesh, xf, {ring(lo.y, 0), ring(hi.y - bevel, 0), ring(hi.y, bevel * 0.7f)}, true, true, 20);
}

std::vector<int> triangulate(const std::vector<Vec2>& polygon) {
    const int n = static_cast<int>(polygon.size());
    std::vector<int> out;
    if (n < 3) return out;
    float area = 0;
    for (int i = 0; i < n; ++i) {
        Vec2 a = polygon[i], b = polygon[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    std::vector<int> idx(n);
    for (int i = 0; i < n; ++i) idx[i] = area >= 0 ? i : n - 1 - i;  // counter-clockwise
    auto crossAt = [&](Vec2 a, Vec2 b, Vec2 c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
    auto inside = [&](Vec2 p, Vec2 a, Vec2 b, Vec2 c) {
        return crossAt(a, b, p) >= 0 && crossAt(b, c, p) >= 0 && crossAt(c, a, p) >= 0;
    };
    int guard = 0;
    while (idx.size() > 3 && guard++ < 10000) {
        const int m = static_cast<int>(idx.size());
        bool clipped = false;
        for (int i = 0; i < m && !clipped; ++i) {
            int ia = idx[(i + m - 1) % m], ib = idx[i], ic = idx[(i + 1) % m];
            Vec2 a = polygon[ia], b = polygon[ib], c = polygon[ic];
            if (crossAt(a, b, c) <= 1e-12f) continue;  // reflex corner
            bool ear = true;
            for (int j = 0; j < m && ear; ++j) {
                int k = idx[j];
                if (k == ia || k == ib || k == ic) continue;
                if (inside(polygon[k], a, b, c)) ear = false;
            }
            if (!ear) continue;
            out.insert(out.end(), {ia, ib, ic});
            idx.erase(idx.begin() + i);
            clipped = true;
        }
        if (!clipped) {  // numerically stuck: drop the flattest corner
            idx.erase(idx.begin());
        }
    }
    if (idx.size() == 3) out.insert(out.end(), {idx[0], idx[1], idx[2]});
    return out;
}

void prism(Mesh& mesh, const Affine& xf, const std::vector<Vec2>& outline, float z0, float z1, float creaseDegrees,
           float uvPerUnit) {
    const int n = static_cast<int>(outline.size());
    if (n < 3) return;
    size_t first = mesh.triangles.size();
    float area = 0;
    for (int i = 0; i < n; ++i) area += outline[i].x * outline[(i + 1) % n].y - outline[(i + 1) % n].x * outline[i].y;
    const float turn = area >= 0 ? 1.0f : -1.0f;
    // Sides: one quad per outline edge, outside to the right of a
    // counter-clockwise walk.
    float along = 0;
    for (int i = 0; i < n; ++i) {
        Vec2 a = outline[i], b = outline[(i + 1) % n];
        Vec2 d = b - a;
        float len = std::sqrt(d.x * d.x + d.y * d.y);
        Vec3 out = xf.linear(Vec3(d.y * turn, -d.x * turn, 0));
        float u0 = along * uvPerUnit, u1 = (along + len) * uvPerUnit;
        along += len;
        int v0 = mesh.vertex(xf.point({a.x, a.y, z0}), u0, 0);
        int v1 = mesh.vertex(xf.point({b.x, b.y, z0}), u1, 0);
        int v2 = mesh.vertex(xf.point({b.x, b.y, z1}), u1, (z1 - z0) * uvPerUnit);
        int v3 = mesh.vertex(xf.point({a.x, a.y, z1}), u0, (z1 - z0) * uvPerUnit);
        mesh.triangle(v0, v1, v2, out);
        mesh.triangle(v0, v2, v3, out);
    }
    mesh.smooth(first, creaseDegrees);
    // Caps.
    size_t capFirst = mesh.triangles.size();
    std::vector<int> tris = triangulate(outline);
    for (int cap = 0; cap < 2; ++cap) {
        float z = cap ? z1 : z0;
        Vec3 out = xf.linear(Vec3(0, 0, (cap ? 1.0f : -1.0f) * (z1 > z0 ? 1.0f : -1.0f)));
        int base = static_cast<int>(mesh.vertices.size());
        for (const Vec2& p : outline) mesh.vertex(xf.point({p.x, p.y, z}), p.x * uvPerUnit + 0.5f, p.y * uvPerUnit + 0.5f);
        for (size_t t = 0; t + 2 < tris.size(); t += 3)
            mesh.triangle(base + tris[t], base + tris[t + 1], base + tris[t + 2], out);
    }
    mesh.smooth(capFirst, 1);
}

void lathe(Mesh& mesh, const Affine& xf, const std::vector<Vec2>& profile, int segments, float creaseDegrees,
           float uRepeat) {
    const int n = static_cast<int>(profile.size());
    if (n < 2 || segments < 3) return;
    std::vector<float> vcoord(n, 0);
    for (int k = 1; k < n; ++k) {
        Vec2 d = profile[k] - profile[k - 1];
        vcoord[k] = vcoord[k - 1] + std::sqrt(d.x * d.x + d.y * d.y);
    }
    const float total = vcoord[n - 1] > 0 ? vcoord[n - 1] : 1;
    int base = static_cast<int>(mesh.vertices.size());
    for (int s = 0; s <= segments; ++s) {
        float a = 2 * PI_F * s / segments;
        for (int k = 0; k < n; ++k) {
            Vec2 p = profile[k];
            mesh.vertex(xf.point({p.x * std::sin(a), p.y, p.x * std::cos(a)}), uRepeat * s / segments,
                        vcoord[k] / total);
        }
    }
    size_t first = mesh.triangles.size();
    for (int s = 0; s < segments; ++s) {
        float a = 2 * PI_F * (s + 0.5f) / segments;
        for (int k = 0; k + 1 < n; ++k) {
            Vec2 d = profile[k + 1] - profile[k];
            // Outside normal of this profile edge, turned to its angle.
            Vec3 out = xf.linear(Vec3(d.y * std::sin(a), -d.x, d.y * std::cos(a)));
            int i00 = base + s * n + k, i01 = base + s * n + k + 1;
            int i10 = base + (s + 1) * n + k, i11 = base + (s + 1) * n + k + 1;
            mesh.triangle(i00, i10, i11, out);
            mesh.triangle(i00, i11, i01, out);
        }
    }
    mesh.smooth(first, creaseDegrees);
}

void sphere(Mesh& mesh, const Affine& xf, float radius, int segments, int rings) {
    std::vector<Vec2> profile;
    for (int r = 0; r <= rings; ++r) {
        float a = -PI_F / 2 + PI_F * r / rings;
        profile.emplace_back(radius * std::cos(a), radius * std::sin(a));
    }
    profile.front().x = 0;
    profile.back().x = 0;
    lathe(mesh, xf, profile, segments, 80);
}

void cylinder(Mesh& mesh, const Affine& xf, float radius, float y0, float y1, int segments) {
    lathe(mesh, xf, {{0, y0}, {radius, y0}, {radius, y1}, {0, y1}}, segments, 45);
}

void rod(Mesh& mesh, const Affine& xf, Vec3 a, Vec3 b, float radius, int segments) {
    Vec3 axis = b - a;
    float len = length(axis);
    if (len < 1e-6f) return;
    Vec3 y = axis * (1 / len);
    Vec3 helper = std::fabs(y.y) < 0.9f ? Vec3(0, 1, 0) : Vec3(1, 0, 0);
    Vec3 x = normalized(cross(helper, y));
    Vec3 z = cross(x, y);
    Affine frame;
    frame.m[0][0] = x.x; frame.m[0][1] = y.x; frame.m[0][2] = z.x;
    frame.m[1][0] = x.y; frame.m[1][1] = y.y; frame.m[1][2] = z.y;
    frame.m[2][0] = x.z; frame.m[2][1] = y.z; frame.m[2][2] = z.z;
    frame.t = a;
    cylinder(mesh, xf * frame, radius, 0, len, segments);
}

void loft(Mesh& mesh, const Affine& xf, const std::vector<std::vector<Vec3>>& rings, bool capStart, bool capEnd,
          float creaseDegrees) {
    if (rings.size() < 2) return;
    const int n = static_cast<int>(rings[0].size());
    const int count = static_cast<int>(rings.size());
    std::vector<Vec3> centre(count);
    for (int r = 0; r < count; ++r) {
        Vec3 c;
        for (const Vec3& p : rings[r]) c += p;
        centre[r] = c * (1.0f / n);
    }
    float vlen = 0;
    size_t first = mesh.triangles.size();
    for (int r = 0; r + 1 < count; ++r) {
        float step = length(centre[r + 1] - centre[r]);
        int base = static_cast<int>(mesh.vertices.size());
        for (int side = 0; side < 2; ++side) {
            const std::vector<Vec3>& ring = rings[r + side];
            float v = vlen + side * step;
            for (int k = 0; k <= n; ++k) mesh.vertex(xf.point(ring[k % n]), static_cast<float>(k) / n, v);
        }
        for (int k = 0; k < n; ++k) {
            Vec3 mid = (rings[r][k] + rings[r][(k + 1) % n] + rings[r + 1][k] + rings[r + 1][(k + 1) % n]) * 0.25f;
            Vec3 out = xf.linear(mid - (centre[r] + centre[r + 1]) * 0.5f);
            int a = base + k, b = base + k + 1, c = base + n + 1 + k + 1, d = base + n + 1 + k;
            mesh.triangle(a, b, c, out);
            mesh.triangle(a, c, d, out);
        }
        vlen += step;
    }
    mesh.smooth(first, creaseDegrees);
    for (int cap = 0; cap < 2; ++cap) {
        if ((cap == 0 && !capStart) || (cap == 1 && !capEnd)) continue;
        int r = cap ? count - 1 : 0;
        int neighbour = cap ? count - 2 : 1;
        Vec3 out = xf.linear(centre[r] - centre[neighbour]);
        size_t capFirst = mesh.triangles.size();
        int c = mesh.vertex(xf.point(centre[r]), 0.5f, 0.5f);
        int base = static_cast<int>(mesh.vertices.size());
        for (int k = 0; k < n; ++k) mesh.vertex(xf.point(rings[r][k]), 0.5f, 0.5f);
        for (int k = 0; k < n; ++k) mesh.triangle(c, base + k, base + (k + 1) % n, out);
        mesh.smooth(capFirst, 1);
    }
}

std::vector<Vec2> circle(Vec2 centre, float radius, int n, float startDegrees) {
    std::vector<Vec2> out;
    for (int i = 0; i < n; ++i) {
        float a = (startDegrees + 360.0f * i / n) * PI_F / 180.0f;
        out.emplace_back(centre.x + radius * std::cos(a), centre.y + radius * std::sin(a));
    }
    return out;
}

}  // namespace assetgen::shapes
