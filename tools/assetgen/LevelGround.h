// The ground of a made level: the shape's land (hills, a river valley, a
// ridge with a pass) with a flat area round the start, a flat pad at each
// sign and graded roads along the tour between them, stored as a 16-bit
// greyscale heightmap. The land is made gentler, step by step, until every
// road is climbable as the heightmap stores it.
#pragma once

#include <cstdint>
#include <vector>

#include "LevelPlan.h"

namespace assetgen {

class LevelGround {
public:
    static constexpr int MAP_SIZE = 256;  // pixels per side, as the demo's heightmap
    static constexpr float PAD_RADIUS = 16;      // flat round a sign
    static constexpr float START_MARGIN = 5;     // flat beyond the start area's radius
    static constexpr float ROAD_HALF_WIDTH = 5;  // flat across a road
    static constexpr float ROAD_GRADE = 0.16f;   // the mean rise of a road between two stops
    static constexpr float STEEPEST = 18;        // degrees of the steepest ground on a road

    explicit LevelGround(const LevelPlan& plan);

    // Units above black at a world position, as the stored heightmap gives
    // it (bilinear between pixels; the nearest edge outside).
    float height(float x, float z) const;
    // The steepest ground on the roads, in degrees, measured on the stored map.
    float steepestOnRoads() const;
    // How much of the shape's relief is kept: 1 all of it, 0 a plain.
    float relief() const { return keep; }

    // The picture's bytes: row 0 of the file is the south edge (the terrain
    // loader puts the file's bottom row at the north edge, -z).
    std::vector<uint8_t> png() const;
    uint16_t pixel(int column, int row) const { return map[static_cast<std::size_t>(row) * MAP_SIZE + column]; }

    // The middle of the valley floor at z (its bends come from the plan's phase).
    static float valleyCentre(const LevelPlan& plan, float z);

private:
    struct Stop {
        LevelPlan::Spot at;
        float flat, blend, level;
    };
    struct Road {
        int from, to;  // stops
    };

    float shapeLand(float x, float z) const;
    float land(float x, float z) const;
    void chooseLevels();
    void gradeLevels();
    float designed(float x, float z) const;
    float roadLevel(const Road& road, float along) const;
    void store();
    float mapX(int column) const;
    float mapZ(int row) const;

    const LevelPlan& plan;
    float keep = 1;
    float plain = 0;  // the start's level: what the relief is flattened towards
    std::vector<Stop> stops;
    std::vector<Road> roads;
    std::vector<uint16_t> map;  // row r at z = mapZ(r), column c at x = mapX(c)
};

}  // namespace assetgen
