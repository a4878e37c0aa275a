#include "TerrainMap.h"

#include <thread>

namespace assetgen {

namespace {

// A road on the map: a light band about nine units wide (three pixels)
// inside a dark edge, drawn over the ground's own colour.
const float ROAD_BAND = 4.6f, ROAD_EDGE = 6.2f;
const Colour MAP_ROAD = Colour::rgb(0xD8D4C8), MAP_EDGE = Colour::rgb(0x26282A);

// The colour a texel of the tiles shows on lit flat ground (the tiles are
// drawn brighter and bluer for the terrain's material; the map is unlit).
Colour seen(Colour texel) {
    const float graded = 0.92f;
    return Colour(clamp01(texel.r * GROUND_LIGHT[0] / graded), clamp01(texel.g * GROUND_LIGHT[1] / graded),
                  clamp01(texel.b * GROUND_LIGHT[2] / graded), 1);
}

// The mean of 2 x 2 samples of the ground inside a pixel, then the road.
Colour mapPixel(const TerrainLayout& layout, int column, int row) {
    Colour sum(0, 0, 0, 0);
    for (float dy : {0.25f, 0.75f})
        for (float dx : {0.25f, 0.75f}) {
            Colour c = seen(layout.surface(TerrainMap::pixelX(column + dx), TerrainMap::pixelZ(row + dy)));
            sum = Colour(sum.r + c.r / 4, sum.g + c.g / 4, sum.b + c.b / 4, 1);
        }
    const float road = layout.roadDistance(TerrainMap::pixelX(column + 0.5f), TerrainMap::pixelZ(row + 0.5f));
    const float pixel = TerrainLayout::EXTENT / TerrainMap::SIZE;
    sum = mix(sum, MAP_EDGE, 0.75f * smoothstep(ROAD_EDGE + pixel / 2, ROAD_EDGE - pixel / 2, road));
    return mix(sum, MAP_ROAD, smoothstep(ROAD_BAND + pixel / 2, ROAD_BAND - pixel / 2, road));
}

}  // namespace

Canvas TerrainMap::draw(const TerrainLayout& layout) {
    Canvas map(SIZE, SIZE);
    // Rows are independent: two threads share them.
    auto work = [&](int first) {
        for (int row = first; row < SIZE; row += 2)
            for (int column = 0; column < SIZE; ++column) map.set(column, row, mapPixel(layout, column, row));
    };
    std::thread helper(work, 1);
    work(0);
    helper.join();
    return map;
}

void writeTerrainMap(AssetSink& sink, const TerrainLayout& layout) {
    const Canvas map = TerrainMap::draw(layout);
    sink.write("terrain/minimap.jpg", map.jpg(95));
    sink.preview("terrain/minimap.jpg", map, 256);
}

}  // namespace assetgen
