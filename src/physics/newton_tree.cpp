// The static triangle mesh behind a collision tree: the triangles are binned
// into a uniform grid over the mesh's two widest axes. Building it is two
// linear passes (a 130,000-triangle terrain takes a few milliseconds, where
// a bounding-volume hierarchy needs tens), and a query visits only the cells
// its box covers.
#include "physics/newton_bullet.h"

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <BulletCollision/CollisionShapes/btTriangleShape.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A triangle covering more cells than this is kept in a list of its own that
// every query checks, so that a few huge faces cannot blow up the grid.
constexpr int MAX_CELLS_PER_TRIANGLE = 64;
// The grid has at most this many cells per triangle of the mesh.
constexpr int CELL_BUDGET_PER_TRIANGLE = 2;
// A contact with a triangle whose normal leans less than this (cosine of 60
// degrees) from the triangle's own normal is taken as a contact with the face.
constexpr float FACE_CONTACT_COSINE = 0.5f;

// A body sliding over the mesh touches the edges between its triangles, and
// such a contact's normal leans along the surface: the body hops over seams
// of a flat floor. Contacts that lean only moderately from the triangle's face
// normal are turned to it (a steep one, like the top edge of a step hit from
// the side, stays as it is).
bool smoothTreeContact(btManifoldPoint& contact, const btCollisionObjectWrapper* wrapA, int, int,
                       const btCollisionObjectWrapper* wrapB, int, int) {
    bool treeIsA = wrapA->getCollisionObject()->getCollisionShape()->getShapeType() == FAST_CONCAVE_MESH_PROXYTYPE;
    bool treeIsB = wrapB->getCollisionObject()->getCollisionShape()->getShapeType() == FAST_CONCAVE_MESH_PROXYTYPE;
    const btCollisionObjectWrapper* tree = treeIsB ? wrapB : treeIsA ? wrapA : nullptr;
    if (!tree || tree->getCollisionShape()->getShapeType() != TRIANGLE_SHAPE_PROXYTYPE) return false;

    btVector3 face;
    static_cast<const btTriangleShape*>(tree->getCollisionShape())->calcNormal(face);
    face = tree->getWorldTransform().getBasis() * face;
    float lean = face.dot(contact.m_normalWorldOnB);
    if (std::fabs(lean) >= 1.0f - 1e-5f || std::fabs(lean) < FACE_CONTACT_COSINE) return false;
    contact.m_normalWorldOnB = lean > 0 ? face : -face;
    contact.m_positionWorldOnB = contact.m_positionWorldOnA - contact.m_normalWorldOnB * contact.m_distance1;
    contact.m_localPointB = wrapB->getWorldTransform().invXform(contact.m_positionWorldOnB);
    return true;
}

}  // namespace

namespace newton_bullet {
void installTreeContactSmoothing() { gContactAddedCallback = smoothTreeContact; }
}  // namespace newton_bullet

std::size_t VertexWeld::hash(const float* xyz) {
    std::uint32_t bits[3];
    std::memcpy(bits, xyz, sizeof bits);
    std::uint64_t h = bits[0] * 0x9E3779B97F4A7C15ull;
    h = (h ^ bits[1]) * 0xC2B2AE3D27D4EB4Full;
    h = (h ^ bits[2]) * 0x165667B19E3779F9ull;
    return std::size_t(h ^ (h >> 29));
}

int VertexWeld::add(const float* xyz) {
    if (2 * (list.size() / 3 + 1) > table.size()) grow();  // at most half full
    const std::size_t mask = table.size() - 1;
    for (std::size_t slot = hash(xyz) & mask;; slot = (slot + 1) & mask) {
        int index = table[slot];
        if (index < 0) {
            index = int(list.size() / 3);
            list.insert(list.end(), xyz, xyz + 3);
            table[slot] = index;
            return index;
        }
        if (std::memcmp(&list[3 * std::size_t(index)], xyz, 3 * sizeof(float)) == 0) return index;
    }
}

void VertexWeld::grow() {
    std::vector<int> old;
    old.swap(table);
    table.assign(std::max<std::size_t>(64, 2 * old.size()), -1);
    const std::size_t mask = table.size() - 1;
    for (int index : old) {
        if (index < 0) continue;
        std::size_t slot = hash(&list[3 * std::size_t(index)]) & mask;
        while (table[slot] >= 0) slot = (slot + 1) & mask;
        table[slot] = index;
    }
}

void VertexWeld::finish() { std::vector<int>().swap(table); }

TriangleGridShape::TriangleGridShape(std::vector<float> vertexArray, std::vector<int> indexArray)
    : vertices(std::move(vertexArray)), indices(std::move(indexArray)) {
    // Bullet's "custom concave" type id is taken by its signed-distance shapes;
    // this one is free and goes the generic concave way everywhere.
    m_shapeType = FAST_CONCAVE_MESH_PROXYTYPE;
    triangleCount = int(indices.size() / 3);
    visited.assign(triangleCount, 0);
    computeBounds();
    chooseGrid();
    fillGrid();
}

btVector3 TriangleGridShape::vertex(int index) const {
    const float* v = &vertices[3 * size_t(index)];
    return btVector3(v[0], v[1], v[2]);
}

void TriangleGridShape::triangleBounds(int t, btVector3& low, btVector3& high) const {
    btVector3 a = vertex(indices[3 * t]), b = vertex(indices[3 * t + 1]), c = vertex(indices[3 * t + 2]);
    low = a;
    low.setMin(b);
    low.setMin(c);
    high = a;
    high.setMax(b);
    high.setMax(c);
}

void TriangleGridShape::computeBounds() {
    boundsMin.setValue(0, 0, 0);
    boundsMax.setValue(0, 0, 0);
    for (int t = 0; t < triangleCount; ++t) {
        btVector3 low, high;
        triangleBounds(t, low, high);
        if (t == 0) {
            boundsMin = low;
            boundsMax = high;
        }
        boundsMin.setMin(low);
        boundsMax.setMax(high);
    }
}

void TriangleGridShape::chooseGrid() {
    // The two widest axes carry the grid; for a terrain that is X and Z.
    btVector3 extent = boundsMax - boundsMin;
    int thinnest = extent.minAxis();
    axisA = (thinnest + 1) % 3;
    axisB = (thinnest + 2) % 3;

    // Cells about as large as an average triangle, fewer if that would make
    // more cells than the triangles warrant.
    double sum = 0;
    for (int t = 0; t < triangleCount; ++t) {
        btVector3 low, high;
        triangleBounds(t, low, high);
        sum += std::max(high[axisA] - low[axisA], high[axisB] - low[axisB]);
    }
    double cell = triangleCount ? sum / triangleCount : 1.0;
    double widthA = std::max(double(extent[axisA]), 1e-6), widthB = std::max(double(extent[axisB]), 1e-6);
    cell = std::max(cell, 1e-6);
    double budget = double(CELL_BUDGET_PER_TRIANGLE) * std::max(triangleCount, 1);
    double cells = (widthA / cell) * (widthB / cell);
    if (cells > budget) cell *= std::sqrt(cells / budget);
    cellSize = float(cell);
    cellsA = std::max(1, int(std::ceil(widthA / cell)));
    cellsB = std::max(1, int(std::ceil(widthB / cell)));
}

int TriangleGridShape::cellOf(float value, int axis, int count) const {
    // Clamped before the conversion: a query box may reach far beyond the mesh.
    float cell = (value - boundsMin[axis]) / cellSize;
    if (!(cell > 0.0f)) return 0;
    if (cell >= float(count)) return count - 1;
    return int(cell);
}

bool TriangleGridShape::cellRange(const btVector3& low, const btVector3& high, int range[4]) const {
    range[0] = cellOf(low[axisA], axisA, cellsA);
    range[1] = cellOf(high[axisA], axisA, cellsA);
    range[2] = cellOf(low[axisB], axisB, cellsB);
    range[3] = cellOf(high[axisB], axisB, cellsB);
    return (range[1] - range[0] + 1) * (range[3] - range[2] + 1) <= MAX_CELLS_PER_TRIANGLE;
}

void TriangleGridShape::fillGrid() {
    // Counting sort into cells: count, prefix sums, then place.
    cellStart.assign(size_t(cellsA) * cellsB + 1, 0);
    auto forEachCell = [this](int t, auto&& action) {
        btVector3 low, high;
        triangleBounds(t, low, high);
        int r[4];
        if (!cellRange(low, high, r)) return false;
        for (int a = r[0]; a <= r[1]; ++a) {
            for (int b = r[2]; b <= r[3]; ++b) action(a * cellsB + b);
        }
        return true;
    };
    for (int t = 0; t < triangleCount; ++t) {
        if (!forEachCell(t, [this](int cell) { ++cellStart[cell + 1]; })) largeTriangles.push_back(t);
    }
    for (size_t i = 1; i < cellStart.size(); ++i) cellStart[i] += cellStart[i - 1];
    cellTriangles.resize(cellStart.back());
    std::vector<int> next(cellStart.begin(), cellStart.end() - 1);
    for (int t = 0; t < triangleCount; ++t) {
        forEachCell(t, [&](int cell) { cellTriangles[next[cell]++] = t; });
    }
}

void TriangleGridShape::visit(int t, btTriangleCallback* callback, const btVector3& low, const btVector3& high) const {
    if (visited[t] == stamp) return;
    visited[t] = stamp;
    btVector3 triangle[3] = {vertex(indices[3 * t]), vertex(indices[3 * t + 1]), vertex(indices[3 * t + 2])};
    btVector3 triLow = triangle[0], triHigh = triangle[0];
    for (int i = 1; i < 3; ++i) {
        triLow.setMin(triangle[i]);
        triHigh.setMax(triangle[i]);
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (triHigh[axis] < low[axis] || triLow[axis] > high[axis]) return;
    }
    callback->processTriangle(triangle, 0, t);
}

void TriangleGridShape::processAllTriangles(btTriangleCallback* callback, const btVector3& aabbMin,
                                            const btVector3& aabbMax) const {
    if (triangleCount == 0) return;
    for (int axis = 0; axis < 3; ++axis) {
        if (aabbMax[axis] < boundsMin[axis] || aabbMin[axis] > boundsMax[axis]) return;
    }
    if (++stamp == 0) {  // the counter wrapped: forget every old mark
        std::fill(visited.begin(), visited.end(), std::uint8_t(0));
        stamp = 1;
    }
    for (int t : largeTriangles) visit(t, callback, aabbMin, aabbMax);
    int r[4] = {cellOf(aabbMin[axisA], axisA, cellsA), cellOf(aabbMax[axisA], axisA, cellsA),
                cellOf(aabbMin[axisB], axisB, cellsB), cellOf(aabbMax[axisB], axisB, cellsB)};
    for (int a = r[0]; a <= r[1]; ++a) {
        for (int b = r[2]; b <= r[3]; ++b) {
            int cell = a * cellsB + b;
            for (int i = cellStart[cell]; i < cellStart[cell + 1]; ++i) visit(cellTriangles[i], callback, aabbMin, aabbMax);
        }
    }
}

void TriangleGridShape::getAabb(const btTransform& t, btVector3& aabbMin, btVector3& aabbMax) const {
    btVector3 margin(getMargin(), getMargin(), getMargin());
    btTransformAabb(boundsMin - margin, boundsMax + margin, 0.0f, t, aabbMin, aabbMax);
}
