#include "assets/TerrainGrid.h"

#include <utility>

namespace {

// Heightmap bytes to heights: a white pixel lies scale.y high.
constexpr double ONE_OVER_255 = 0.00392156862745098;

}  // namespace

TerrainGrid::TerrainGrid(std::vector<unsigned char> bytes, int w, int h, const Vector& extent)
    : pixels(std::move(bytes)), width(w), height(h), scale(extent), stepX(extent.x / w), stepZ(extent.z / h) {
    if (pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) pixels.assign(static_cast<std::size_t>(w) * h, 0);
}

Vector TerrainGrid::point(int r, int c) const {
    const double f = scale.y * ONE_OVER_255;
    return Vector(c * stepX - 0.5 * scale.x, pixels[static_cast<std::size_t>(r) * width + c] * f,
                  r * stepZ - 0.5 * scale.z);
}

Vector TerrainGrid::faceNormal(int r, int c, bool second) const {
    const Vector a = point(r, c), b = point(r + 1, c + 1);
    if (!second) return Vector::crossProduct(Vector::diff(a, b), Vector::diff(a, point(r, c + 1))).normalize();
    return Vector::crossProduct(Vector::diff(point(r + 1, c), a), Vector::diff(b, a)).normalize();
}

Vector TerrainGrid::vertexNormal(int r, int c) const {
    Vector sum;
    auto addCell = [&](int cr, int cc) {
        sum = Vector::add(Vector::add(sum, faceNormal(cr, cc, false)), faceNormal(cr, cc, true));
    };
    if (c < width - 1 && r < height - 1) addCell(r, c);
    if (c < width - 1 && r > 0) addCell(r - 1, c);
    if (c > 0 && r > 0) addCell(r - 1, c - 1);
    if (c > 0 && r < height - 1) addCell(r, c - 1);
    return sum.normalize();
}

int TerrainGrid::segmentQuadsX(int j, int n) const { return j == n - 1 ? width / n - 1 : width / n; }

int TerrainGrid::segmentQuadsZ(int i, int n) const { return i == n - 1 ? height / n - 1 : height / n; }

void TerrainGrid::fillSegment(MeshNode& mesh, int i, int j, int n) const {
    const int quadsX = segmentQuadsX(j, n), quadsZ = segmentQuadsZ(i, n);
    const int firstRow = i * (height / n), firstColumn = j * (width / n);
    const int columns = quadsX + 1;
    mesh.allocateIndexed((quadsZ + 1) * columns, 2 * quadsX * quadsZ);
    float* v = mesh.getCornerPositions().get();
    float* nrm = mesh.getCornerNormals().get();
    float* t = mesh.getCornerTexCoords().get();
    for (int q = 0; q <= quadsZ; ++q)
        for (int p = 0; p <= quadsX; ++p) {
            const std::size_t corner = static_cast<std::size_t>(q) * columns + p;
            const Vector pos = point(firstRow + q, firstColumn + p);
            const Vector normal = vertexNormal(firstRow + q, firstColumn + p);
            float* pv = v + 3 * corner;
            float* pn = nrm + 3 * corner;
            pv[0] = static_cast<float>(pos.x);
            pv[1] = static_cast<float>(pos.y);
            pv[2] = static_cast<float>(pos.z);
            pn[0] = static_cast<float>(normal.x);
            pn[1] = static_cast<float>(normal.y);
            pn[2] = static_cast<float>(normal.z);
            t[2 * corner] = static_cast<float>(p) / quadsX;
            t[2 * corner + 1] = static_cast<float>(q) / quadsZ;
        }
    GLuint* index = mesh.getIndices().get();
    for (int q = 0; q < quadsZ; ++q)
        for (int p = 0; p < quadsX; ++p) {
            const GLuint a = static_cast<GLuint>(q * columns + p);
            const GLuint b = a + columns + 1, c = a + 1, d = a + columns;
            const GLuint corners[6] = {a, b, c, a, d, b};  // T1 = (A, B, C), T2 = (A, D, B)
            for (GLuint k : corners) *index++ = k;
        }
}

std::vector<float> TerrainGrid::segmentHeights(int i, int j, int n) const {
    const int quadsX = segmentQuadsX(j, n), quadsZ = segmentQuadsZ(i, n);
    const int firstRow = i * (height / n), firstColumn = j * (width / n);
    std::vector<float> heights;
    heights.reserve(static_cast<std::size_t>(quadsX + 1) * (quadsZ + 1));
    for (int q = 0; q <= quadsZ; ++q)
        for (int p = 0; p <= quadsX; ++p) heights.push_back(static_cast<float>(point(firstRow + q, firstColumn + p).y));
    return heights;
}
