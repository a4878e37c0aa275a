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
    static constexpr int SIZE = 512;  // pixels per side, over the whole terrain

    // Column 0 is the west edge (x = -300), row 0 the north edge (z = -300):
    // north is up, as on a map, and as the game draws it.
    static float pixelX(float column) { return column * (TerrainLayout::EXTENT / SIZE) - TerrainLayout::EXTENT / 2; }
    static float pixelZ(float row) { return row * (TerrainLayout::EXTENT / SIZE) - TerrainLayout::EXTENT / 2; }

    static Canvas draw(const TerrainLayout& layout);
};

// Writes "terrain/minimap.jpg".
void writeTerrainMap(AssetSink& sink, const TerrainLayout& layout);

}  // namespace assetgen
