#pragma once
#include <vector>

#include <GL/glew.h>

// The levels of detail of a terrain segment of quadsX x quadsZ cells: one
// triangle list per level over the same corners (the segment's grid vertices
// row by row, corner (p, q) at q * (quadsX + 1) + p), so a level needs no
// vertices of its own. Level 0 is every cell as TerrainGrid::fillSegment cuts
// it. Level L > 0 takes every s-th grid line (s = 2^L) inside the segment and
// keeps the border ring at full resolution: a band of triangles between the
// border's grid vertices and the coarse inner rectangle stitches the two. Each
// segment's edge therefore carries every grid vertex at every level, and
// neighbours at any levels meet vertex to vertex: no gaps and no T-junctions.
// Every level winds its triangles as level 0 does (counter-clockwise seen from
// above) and covers each point of the segment exactly once.
class TerrainLevels {
public:
    // The coarsest level there is: every 8th grid line.
    static constexpr int MAX_LEVEL = 3;

    // Level 0 of a segment of quadsX x quadsZ cells: cell by cell, row by
    // row, T1 = (A, B, C) before T2 = (A, D, B) with A = (p, q),
    // B = (p+1, q+1), C = (p+1, q), D = (p, q+1).
    static std::vector<GLuint> gridIndices(int quadsX, int quadsZ);

    // A segment of fewer than 1 cell on a side gets empty lists.
    TerrainLevels(int quadsX, int quadsZ);

    int getQuadsX() const { return quadsX; }
    int getQuadsZ() const { return quadsZ; }
    // Levels 0 .. levelCount() - 1: a level exists while its inner rectangle
    // does (the segment is at least 2 s cells wide and deep).
    int levelCount() const { return static_cast<int>(lists.size()); }
    // Three corner indices per triangle; an empty list outside 0 .. levelCount() - 1.
    const std::vector<GLuint>& indices(int level) const;
    int triangleCount(int level) const { return static_cast<int>(indices(level).size() / 3); }

    // Largest vertical distance, over every grid vertex of the segment,
    // between its height and the height of the level's surface above or
    // below it. heights: the corners' heights ((quadsX + 1) * (quadsZ + 1), row by row).
    double largestError(int level, const float* heights) const;
    // largestError of every level, made non-decreasing (a level is never
    // counted finer than a finer one), so that the choice below is monotone.
    std::vector<float> errors(const float* heights) const;

    // The coarsest level whose error, seen at distance (eye units) with
    // pixelsPerUnit pixels per eye unit at distance 1, stays under maxPixels
    // pixels; level 0 when the eye is at or inside distance 0.
    static int coarsestWithin(const std::vector<float>& errors, double distance, double pixelsPerUnit,
                              double maxPixels);

private:
    int quadsX;
    int quadsZ;
    std::vector<std::vector<GLuint>> lists;

    GLuint corner(int p, int q) const { return static_cast<GLuint>(q * (quadsX + 1) + p); }
    std::vector<GLuint> coarse(int step) const;
    // Grid lines of the inner rectangle along a side of n cells: step, 2 step,
    // ... below n - step, then n - step.
    static std::vector<int> innerLines(int n, int step);
    // Appends the triangle with the winding of the grid's, or nothing if it has no area.
    void addTriangle(std::vector<GLuint>& out, GLuint a, GLuint b, GLuint c) const;
    // Triangulates the band between an outer row of corners and a parallel
    // inner row (positions along the side in outerAt / innerAt), always
    // taking the shorter of the two next diagonals.
    void zip(std::vector<GLuint>& out, const std::vector<GLuint>& outer, const std::vector<int>& outerAt,
             const std::vector<GLuint>& inner, const std::vector<int>& innerAt) const;
};
