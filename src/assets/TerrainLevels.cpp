#include "assets/TerrainLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TerrainLevels::TerrainLevels(int x, int z) : quadsX(std::max(x, 0)), quadsZ(std::max(z, 0)) {
    if (quadsX < 1 || quadsZ < 1) return;
    lists.push_back(gridIndices(quadsX, quadsZ));
    for (int level = 1; level <= MAX_LEVEL; ++level) {
        const int step = 1 << level;
        if (std::min(quadsX, quadsZ) < 2 * step) break;
        lists.push_back(coarse(step));
    }
}

const std::vector<GLuint>& TerrainLevels::indices(int level) const {
    static const std::vector<GLuint> none;
    return level >= 0 && level < levelCount() ? lists[static_cast<std::size_t>(level)] : none;
}

std::vector<GLuint> TerrainLevels::gridIndices(int quadsX, int quadsZ) {
    std::vector<GLuint> out;
    if (quadsX < 1 || quadsZ < 1) return out;
    out.reserve(6 * static_cast<std::size_t>(quadsX) * quadsZ);
    const GLuint columns = static_cast<GLuint>(quadsX) + 1;
    for (int q = 0; q < quadsZ; ++q)
        for (int p = 0; p < quadsX; ++p) {
            const GLuint a = static_cast<GLuint>(q) * columns + static_cast<GLuint>(p);
            const GLuint b = a + columns + 1, c = a + 1, d = a + columns;
            out.insert(out.end(), {a, b, c, a, d, b});  // T1 = (A, B, C), T2 = (A, D, B)
        }
    return out;
}

std::vector<int> TerrainLevels::innerLines(int n, int step) {
    std::vector<int> lines;
    for (int v = step; v < n - step; v += step) lines.push_back(v);
    lines.push_back(n - step);
    return lines;
}

std::vector<GLuint> TerrainLevels::coarse(int step) const {
    const std::vector<int> xs = innerLines(quadsX, step), zs = innerLines(quadsZ, step);
    std::vector<GLuint> out;
    // The inner rectangle: cells between neighbouring inner lines, cut as the full grid's cells.
    for (std::size_t k = 0; k + 1 < zs.size(); ++k)
        for (std::size_t m = 0; m + 1 < xs.size(); ++m) {
            const GLuint a = corner(xs[m], zs[k]), b = corner(xs[m + 1], zs[k + 1]);
            const GLuint c = corner(xs[m + 1], zs[k]), d = corner(xs[m], zs[k + 1]);
            addTriangle(out, a, b, c);
            addTriangle(out, a, d, b);
        }
    // The border ring: each side's grid vertices against the inner rectangle's side.
    std::vector<int> alongX(static_cast<std::size_t>(quadsX) + 1), alongZ(static_cast<std::size_t>(quadsZ) + 1);
    for (int p = 0; p <= quadsX; ++p) alongX[static_cast<std::size_t>(p)] = p;
    for (int q = 0; q <= quadsZ; ++q) alongZ[static_cast<std::size_t>(q)] = q;
    auto row = [&](const std::vector<int>& ps, int q) {
        std::vector<GLuint> corners;
        for (int p : ps) corners.push_back(corner(p, q));
        return corners;
    };
    auto column = [&](int p, const std::vector<int>& qs) {
        std::vector<GLuint> corners;
        for (int q : qs) corners.push_back(corner(p, q));
        return corners;
    };
    zip(out, row(alongX, 0), alongX, row(xs, zs.front()), xs);
    zip(out, row(alongX, quadsZ), alongX, row(xs, zs.back()), xs);
    zip(out, column(0, alongZ), alongZ, column(xs.front(), zs), zs);
    zip(out, column(quadsX, alongZ), alongZ, column(xs.back(), zs), zs);
    return out;
}

void TerrainLevels::zip(std::vector<GLuint>& out, const std::vector<GLuint>& outer, const std::vector<int>& outerAt,
                        const std::vector<GLuint>& inner, const std::vector<int>& innerAt) const {
    std::size_t i = 0, j = 0;
    while (i + 1 < outer.size() || j + 1 < inner.size()) {
        const bool outerNext = j + 1 == inner.size() ||
                               (i + 1 < outer.size() && std::abs(outerAt[i + 1] - innerAt[j]) <=
                                                            std::abs(innerAt[j + 1] - outerAt[i]));
        if (outerNext) {
            addTriangle(out, outer[i], outer[i + 1], inner[j]);
            ++i;
        } else {
            addTriangle(out, outer[i], inner[j + 1], inner[j]);
            ++j;
        }
    }
}

void TerrainLevels::addTriangle(std::vector<GLuint>& out, GLuint a, GLuint b, GLuint c) const {
    const long columns = quadsX + 1;
    const long ap = a % columns, aq = a / columns, bp = b % columns, bq = b / columns, cp = c % columns,
               cq = c / columns;
    // The grid's triangles have a negative cross product in (p, q).
    const long cross = (bp - ap) * (cq - aq) - (bq - aq) * (cp - ap);
    if (cross == 0) return;
    if (cross < 0)
        out.insert(out.end(), {a, b, c});
    else
        out.insert(out.end(), {a, c, b});
}

double TerrainLevels::largestError(int level, const float* heights) const {
    const std::vector<GLuint>& list = indices(level);
    if (heights == nullptr) return 0.0;
    const long columns = quadsX + 1;
    double largest = 0.0;
    for (std::size_t t = 0; t + 2 < list.size(); t += 3) {
        const long p[3] = {list[t] % columns, list[t + 1] % columns, list[t + 2] % columns};
        const long q[3] = {list[t] / columns, list[t + 1] / columns, list[t + 2] / columns};
        const double h[3] = {heights[list[t]], heights[list[t + 1]], heights[list[t + 2]]};
        const long area = (p[1] - p[0]) * (q[2] - q[0]) - (q[1] - q[0]) * (p[2] - p[0]);
        if (area == 0) continue;
        // Every grid vertex inside the triangle or on its edges, by exact
        // integer barycentric weights.
        for (long y = *std::min_element(q, q + 3); y <= *std::max_element(q, q + 3); ++y)
            for (long x = *std::min_element(p, p + 3); x <= *std::max_element(p, p + 3); ++x) {
                const long w1 = (x - p[0]) * (q[2] - q[0]) - (y - q[0]) * (p[2] - p[0]);
                const long w2 = (p[1] - p[0]) * (y - q[0]) - (q[1] - q[0]) * (x - p[0]);
                const long w0 = area - w1 - w2;
                const bool inside = area > 0 ? (w0 >= 0 && w1 >= 0 && w2 >= 0) : (w0 <= 0 && w1 <= 0 && w2 <= 0);
                if (!inside) continue;
                const double surface = (w0 * h[0] + w1 * h[1] + w2 * h[2]) / static_cast<double>(area);
                largest = std::max(largest, std::fabs(heights[y * columns + x] - surface));
            }
    }
    return largest;
}

std::vector<float> TerrainLevels::errors(const float* heights) const {
    std::vector<float> result;
    float finer = 0.0f;
    for (int level = 0; level < levelCount(); ++level) {
        finer = std::max(finer, static_cast<float>(largestError(level, heights)));
        result.push_back(finer);
    }
    return result;
}

int TerrainLevels::coarsestWithin(const std::vector<float>& errors, double distance, double pixelsPerUnit,
                                  double maxPixels) {
    if (!(distance > 0.0)) return 0;
    for (int level = static_cast<int>(errors.size()) - 1; level > 0; --level)
        if (errors[static_cast<std::size_t>(level)] * pixelsPerUnit / distance < maxPixels) return level;
    return 0;
}
