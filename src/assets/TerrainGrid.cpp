#include "assets/TerrainGrid.h"

#include <algorithm>
#include <utility>

#include "assets/TerrainLevels.h"

namespace {

// Heightmap bytes to heights: a white pixel lies scale.y high.
constexpr double ONE_OVER_255 = 0.00392156862745098;
constexpr double ONE_OVER_65535 = 1.0 / 65535.0;

}  // namespace

TerrainGrid::TerrainGrid(std::vector<unsigned char> bytes, int w, int h, const Vector& extent)
    : pixels(std::move(bytes)), width(w), height(h), scale(extent), stepX(extent.x / w), stepZ(extent.z / h) {
    if (pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) pixels.assign(static_cast<std::size_t>(w) * h, 0);
}

TerrainGrid::TerrainGrid(std::vector<std::uint16_t> values, int w, int h, const Vector& extent)
    : words(std::move(values)), width(w), height(h), scale(extent), stepX(extent.x / w), stepZ(extent.z / h) {
    if (words.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) words.assign(static_cast<std::size_t>(w) * h, 0);
}

// An 8-bit map keeps the arithmetic it always had (byte times scale.y / 255),
// so its floats, and the races run on it, stay what they were.
double TerrainGrid::heightOf(std::size_t i) const {
    if (words.empty()) return pixels[i] * (scale.y * ONE_OVER_255);
    return words[i] * (scale.y * ONE_OVER_65535);
}

Vector TerrainGrid::point(int r, int c) const {
    return Vector(c * stepX - 0.5 * scale.x, heightOf(static_cast<std::size_t>(r) * width + c), r * stepZ - 0.5 * scale.z);
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

// The vertex normals of grid rows r0..r1 and columns c0..c1, row by row, the
// same floats as vertexNormal gives: the face normals of every cell around
// the block are computed once (vertexNormal alone computes each of them for
// all four corners of its cell) and summed in vertexNormal's order.
std::vector<Vector> TerrainGrid::blockNormals(int r0, int c0, int r1, int c1) const {
    const int cr0 = std::max(r0 - 1, 0), cc0 = std::max(c0 - 1, 0);
    const int cr1 = std::min(r1, height - 2), cc1 = std::min(c1, width - 2);
    return sumFaces(blockFaces(cr0, cc0, cr1, cc1), cr0, cc0, std::max(cc1 - cc0 + 1, 0), r0, c0, r1, c1);
}

std::vector<Vector> TerrainGrid::blockFaces(int cr0, int cc0, int cr1, int cc1) const {
    const int cellColumns = std::max(cc1 - cc0 + 1, 0);
    std::vector<Vector> faces(2 * static_cast<std::size_t>(std::max(cr1 - cr0 + 1, 0)) * cellColumns);
    for (int r = cr0; r <= cr1; ++r)
        for (int c = cc0; c <= cc1; ++c) {
            const std::size_t cell = 2 * (static_cast<std::size_t>(r - cr0) * cellColumns + (c - cc0));
            faces[cell] = faceNormal(r, c, false);
            faces[cell + 1] = faceNormal(r, c, true);
        }
    return faces;
}

std::vector<Vector> TerrainGrid::sumFaces(const std::vector<Vector>& faces, int cr0, int cc0, int cellColumns, int r0,
                                          int c0, int r1, int c1) const {
    std::vector<Vector> normals;
    normals.reserve(static_cast<std::size_t>(std::max(r1 - r0 + 1, 0)) * std::max(c1 - c0 + 1, 0));
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            Vector sum;
            auto addCell = [&](int cr, int cc) {
                const std::size_t cell = 2 * (static_cast<std::size_t>(cr - cr0) * cellColumns + (cc - cc0));
                sum = Vector::add(Vector::add(sum, faces[cell]), faces[cell + 1]);
            };
            if (c < width - 1 && r < height - 1) addCell(r, c);
            if (c < width - 1 && r > 0) addCell(r - 1, c);
            if (c > 0 && r > 0) addCell(r - 1, c - 1);
            if (c > 0 && r < height - 1) addCell(r, c - 1);
            normals.push_back(sum.normalize());
        }
    return normals;
}

std::vector<Vector> TerrainGrid::faceNormals() const { return blockFaces(0, 0, height - 2, width - 2); }

std::vector<Vector> TerrainGrid::vertexNormals(const std::vector<Vector>& faces) const {
    return sumFaces(faces, 0, 0, std::max(width - 1, 0), 0, 0, height - 1, width - 1);
}

int TerrainGrid::segmentQuadsX(int j, int n) const { return j == n - 1 ? width / n - 1 : width / n; }

int TerrainGrid::segmentQuadsZ(int i, int n) const { return i == n - 1 ? height / n - 1 : height / n; }

void TerrainGrid::fillSegment(MeshNode& mesh, int i, int j, int n, const std::vector<Vector>* gridNormals) const {
    const int quadsX = segmentQuadsX(j, n), quadsZ = segmentQuadsZ(i, n);
    const int firstRow = i * (height / n), firstColumn = j * (width / n);
    const int columns = quadsX + 1;
    mesh.allocateIndexed((quadsZ + 1) * columns, 2 * quadsX * quadsZ);
    float* v = mesh.getCornerPositions().get();
    float* nrm = mesh.getCornerNormals().get();
    float* t = mesh.getCornerTexCoords().get();
    const std::vector<Vector> block =
        gridNormals ? std::vector<Vector>() : blockNormals(firstRow, firstColumn, firstRow + quadsZ, firstColumn + quadsX);
    for (int q = 0; q <= quadsZ; ++q)
        for (int p = 0; p <= quadsX; ++p) {
            const std::size_t corner = static_cast<std::size_t>(q) * columns + p;
            const Vector pos = point(firstRow + q, firstColumn + p);
            const Vector& normal =
                gridNormals ? (*gridNormals)[static_cast<std::size_t>(firstRow + q) * width + firstColumn + p] : block[corner];
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
    const std::vector<GLuint> cells = TerrainLevels::gridIndices(quadsX, quadsZ);
    std::copy(cells.begin(), cells.end(), mesh.getIndices().get());
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
