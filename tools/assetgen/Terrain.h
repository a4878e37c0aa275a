// The level's ground as one description that the heightmap and the 64
// texture tiles are both drawn from, so that hills, flat places and roads
// agree. World units: x and z from -300 to 300, heights from 0 to 5 (the
// level loads the map with the extent (600, 5, 600)).
#pragma once

#include <vector>

#include "AssetSink.h"
#include "Canvas.h"

namespace assetgen {

class TerrainLayout {
public:
    static constexpr float EXTENT = 600.0f;
    static constexpr float HEIGHT = 5.0f;
    static constexpr int MAP_SIZE = 256;   // heightmap pixels per side
    static constexpr int SEGMENTS = 8;     // terrain segments per side
    static constexpr float FLAT_HEIGHT = 1.4f;
    static constexpr float START_RADIUS = 30.0f;
    static constexpr float PLAZA_RADIUS = 12.0f;  // the paved square the cars start on
    static constexpr float SIGN_DISTANCE = 200.0f;

    TerrainLayout();

    // The designed height before it is stored in 8 bits.
    float designHeight(float x, float z) const;
    // The height as the stored heightmap gives it (bilinear between pixels).
    float mapHeight(float x, float z) const;
    // Heightmap value at column c and row r as the terrain loader counts
    // them: it reads pictures bottom row first, so row 0 (at z = -300) is
    // the bottom row of the file.
    int pixel(int c, int r) const { return map[static_cast<size_t>(r) * MAP_SIZE + c]; }
    // World position of heightmap pixel (c, r), as the terrain loader places it.
    static float pixelX(int c) { return c * (EXTENT / MAP_SIZE) - EXTENT / 2; }
    static float pixelZ(int r) { return r * (EXTENT / MAP_SIZE) - EXTENT / 2; }

    // The ground's colour at a world position.
    Colour surface(float x, float z) const;

    // World position of a texel of tile (a, b), for a tile of `size` texels.
    // The loader puts file "terrain_a_b" on the segment in x band a and z
    // band 7 - b, with texture coordinates 0..1 across the segment and t = 0
    // at the file's bottom row (the smaller z edge of the segment).
    static void tileTexelToWorld(int a, int b, int size, int column, int fileRow, float& x, float& z);

    // Distance to the nearest road centre line.
    float roadDistance(float x, float z) const;

private:
    std::vector<int> map;
};

// What the terrain's fixed material makes of a texel on flat ground in the
// sun (emission 0.5, ambient and a low sun on the diffuse colour): tiles are
// drawn brighter and bluer by this much, so the ground looks as designed.
constexpr float GROUND_LIGHT[3] = {0.70f, 0.65f, 0.59f};

// Writes "terrain/heightmap.png", "terrain/terrain_a_b.jpg", the
// seamless greyscale grain "terrain/detail.png" (mid-grey: no change) and
// the minimap's picture "terrain/minimap.jpg".
void writeTerrain(AssetSink& sink);

}  // namespace assetgen
