#pragma once
#include <memory>
#include <string>
#include <vector>

#include "assets/TerrainGrid.h"
#include "assets/Texture2D.h"
#include "math/Vector.h"

// The colours of a ground that has no pictures of its own, worked out from
// its heights and slopes: grass where it is low and flat, rock where it is
// steep, snow high up, each blending smoothly into the next and stirred by a
// little noise so that no stretch is one flat colour. Heights count from the
// terrain's own lowest to its highest vertex (so every terrain has its
// meadows and its peaks, whatever its scale); slopes are the ground's rise
// over run in world units (a cliff is a cliff on any terrain). The noise
// follows world positions, so neighbouring segments meet without a seam.
//
// It gives a texture for every terrain segment (texture coordinates running
// 0..1 across the segment, as TerrainGrid::fillSegment lays them) and the
// picture of the whole ground seen from above for the minimap.
class GroundColours {
public:
    // normals: the grid's vertex normals (TerrainGrid::vertexNormals), vertex
    // (r, c) at r * width + c; empty: they are computed here.
    GroundColours(const TerrainGrid& grid, const std::vector<Vector>& normals);
    explicit GroundColours(const TerrainGrid& grid);

    // Texels per side of the texture of a segment of so many cells: about
    // eight texels a cell, a power of two from 64 to 512.
    static int segmentSide(int quadsX, int quadsZ);
    static constexpr int SAMPLES_PER_CELL = 2;
    // Segment (i, j) of an n x n cut (TerrainGrid::fillSegment) as side x side
    // RGB texels, the first row at the segment's first grid row (its -z edge),
    // where its texture coordinate t is 0. The colours are worked out at
    // SAMPLES_PER_CELL points a cell each way and laid bilinear between them.
    std::vector<unsigned char> segmentTexels(const TerrainGrid& grid, int i, int j, int n, int side) const;
    std::shared_ptr<Texture2D> segmentTexture(const TerrainGrid& grid, int i, int j, int n) const;

    // The whole ground seen from above as side x side RGB texels, north (-z)
    // at the top of the picture and east (+x) to the right: the first row (the
    // GL's bottom row) is the +z edge. The minimap's picture when a level
    // brings none.
    std::vector<unsigned char> mapTexels(int side) const;
    // The same as a texture the minimap draws one texel a pixel (no mipmaps).
    std::shared_ptr<Texture2D> mapTexture(int side = MAP_SIDE) const;
    static constexpr int MAP_SIDE = 256;

    // The colour at a fractional grid position (row along +z, column along
    // +x, both 0 at the grid's first vertex), 3 bytes written to rgb.
    void colourAt(double row, double column, unsigned char* rgb) const;
    void colourAt(double row, double column, float* rgb) const;  // 0..1, not yet clamped

private:
    int width = 0, height = 0;
    double stepX = 1.0, stepZ = 1.0;
    std::vector<float> level;      // per vertex: 0 at the lowest, 1 at the highest
    std::vector<float> steepness;  // per vertex: rise over run in world units

    void measure(const TerrainGrid& grid, const std::vector<Vector>& normals);
    // Bilinear between the four vertices around (row, column).
    float sample(const std::vector<float>& values, double row, double column) const;
};
