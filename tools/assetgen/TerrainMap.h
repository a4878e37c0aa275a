// The level's ground seen from above, for the HUD's minimap: the colours the
// tiles are drawn from, with the roads drawn wider and lighter so that they
// read at a few units per screen pixel.
#pragma once

#include "AssetSink.h"
#include "Canvas.h"
#include "Terrain.h"

namespace assetgen {

class TerrainMap {
public:
    // Pixels per side, over the whole terrain: 3.125 units a pixel, the HUD's
    // scale at 800 x 600 (160 pixels for the 500 units shown), so that the
    // game draws the picture one texel a pixel, without mipmaps.
    static constexpr int SIZE = 192;

    // Column 0 is the west edge (x = -300), row 0 the north edge (z = -300):
    // north is up, as on a map, and as the game draws it.
    static float pixelX(float column) { return column * (TerrainLayout::EXTENT / SIZE) - TerrainLayout::EXTENT / 2; }
    static float pixelZ(float row) { return row * (TerrainLayout::EXTENT / SIZE) - TerrainLayout::EXTENT / 2; }

    static Canvas draw(const TerrainLayout& layout);
};

// Writes "terrain/minimap.jpg".
void writeTerrainMap(AssetSink& sink, const TerrainLayout& layout);

}  // namespace assetgen
