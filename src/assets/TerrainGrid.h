#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/MeshNode.h"
#include "math/Vector.h"

// The compact form of a terrain: one height per heightmap pixel, a byte for
// an 8-bit heightmap and a 16-bit word for a 16-bit one, from which grid
// points, smooth vertex normals and the corner arrays of a segment are
// computed when they are needed. Pixel (c, r) is grid vertex (r, c) at
// x = c * stepX - scale.x / 2, y = byte * scale.y / 255 (word * scale.y / 65535),
// z = r * stepZ - scale.z / 2. The same pixel always gives the same floats: a
// segment rebuilt from the grid is bit for bit the segment built at load time.
class TerrainGrid {
public:
    // pixels: width * height luminance bytes, pixel (c, r) at r * width + c.
    TerrainGrid(std::vector<unsigned char> pixels, int width, int height, const Vector& scale);
    // words: width * height 16-bit luminance values, in the same order.
    TerrainGrid(std::vector<std::uint16_t> words, int width, int height, const Vector& scale);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const Vector& getScale() const { return scale; }
    // The heights came from a 16-bit heightmap.
    bool isSixteenBit() const { return !words.empty(); }
    double getStepX() const { return stepX; }
    double getStepZ() const { return stepZ; }

    Vector point(int r, int c) const;
    // Mean of both face normals of every cell around the vertex (also the
    // triangle of a cell that does not touch it), normalised.
    Vector vertexNormal(int r, int c) const;

    // The whole grid's normals at once, for a load that builds every
    // segment: the face normals T1, T2 of every cell, cell (r, c) at
    // 2 * (r * (width - 1) + c); from them the vertex normal of every
    // vertex, vertex (r, c) at r * width + c, the floats vertexNormal gives.
    std::vector<Vector> faceNormals() const;
    std::vector<Vector> vertexNormals(const std::vector<Vector>& faces) const;

    // Segment (i, j) of an n x n cut: the cells of z band i and x band j
    // (the last band one cell short, as neighbours share their borders).
    int segmentQuadsX(int j, int n) const;
    int segmentQuadsZ(int i, int n) const;
    // Fills an indexed mesh with segment (i, j): its grid vertices row by
    // row as corners (texture coordinates 0..1 across the segment), then the
    // triangles cell by cell, T1 = (A, B, C) before T2 = (A, D, B) with
    // A = (r, c), B = (r+1, c+1), C = (r, c+1), D = (r+1, c). The normals
    // come from vertexNormals' table when given, else from the segment's block.
    void fillSegment(MeshNode& mesh, int i, int j, int n, const std::vector<Vector>* normals = nullptr) const;
    // The y of segment (i, j)'s corners in fillSegment's order, the floats the mesh holds.
    std::vector<float> segmentHeights(int i, int j, int n) const;

private:
    std::vector<unsigned char> pixels;  // an 8-bit heightmap's bytes, else empty
    std::vector<std::uint16_t> words;   // a 16-bit heightmap's words, else empty
    int width;
    int height;
    Vector scale;
    double stepX;
    double stepZ;

    // The y of pixel index i (r * width + c).
    double heightOf(std::size_t i) const;
    // Normal of triangle T1 (second = false) or T2 of cell (r, c).
    Vector faceNormal(int r, int c, bool second) const;
    // vertexNormal of every grid vertex of rows r0..r1, columns c0..c1, row by row.
    std::vector<Vector> blockNormals(int r0, int c0, int r1, int c1) const;
    // The face normals of cells cr0..cr1, cc0..cc1, as faceNormals lays them out for that block.
    std::vector<Vector> blockFaces(int cr0, int cc0, int cr1, int cc1) const;
    // Vertex normals of rows r0..r1, columns c0..c1 from the faces of the
    // block of cells whose first cell is (cr0, cc0), cellColumns wide.
    std::vector<Vector> sumFaces(const std::vector<Vector>& faces, int cr0, int cc0, int cellColumns, int r0, int c0,
                                 int r1, int c1) const;
};
