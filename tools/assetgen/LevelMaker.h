// The level maker: from a seed and a shape, a whole playable level plan.
// Three to six signs 120 to 260 units from the start, spread round it and
// clear of the points of the compass, named from syllables; items of every
// kind on the roads of the tour; two to eight pursuers (at most one monster)
// patrolling between points on the roads from sign to sign; medal times
// from the length of the tour. The same seed and shape give the same plan.
#pragma once

#include <cstdint>

#include "LevelPlan.h"
#include "Noise.h"

namespace assetgen {

class LevelMaker {
public:
    static constexpr float NEAREST_SIGN = 120, FARTHEST_SIGN = 255;
    static constexpr float SIGN_SPACING = 70;     // between two signs
    static constexpr float DISTANCE_SPREAD = 30;  // from the nearest sign's distance to the farthest's
    static constexpr float STOP_CLEARANCE = 50;   // from a road to a sign it does not lead to
    static constexpr float ROAD_CLEARANCE = 40;   // between two roads that do not meet
    static constexpr float COMPASS_GAP = 10;   // degrees a sign keeps from north, east, south and west
    static constexpr float EDGE_KEEP = 25;     // units everything keeps from the terrain's edge
    static constexpr float PURSUER_DISTANCE = 70;  // from the start: no pursuer waits beside it
    // The tour's pace for the medal times: units a second, and seconds a sign game takes.
    static constexpr float TOUR_SPEED = 10, SIGN_SECONDS = 4;

    LevelMaker(uint32_t seed, LevelShape shape);
    LevelPlan make();

    // Compass degrees from one place to another, 0 to 360.
    static float bearing(LevelPlan::Spot from, LevelPlan::Spot to);
    static LevelPlan::Spot ahead(LevelPlan::Spot from, float bearing, float distance);

private:
    void placeHillSigns();
    void placeValleySigns();
    void placePassSigns();
    void addSign(LevelPlan::Spot at);
    bool signsFit() const;
    bool tourClear() const;
    bool settled();
    bool fits(LevelPlan::Spot at) const;
    void orderTour();
    void nameLevel();
    void placeItems();
    // A place on a road from sign to sign, and the road's bearing there.
    struct RoadSpot {
        LevelPlan::Spot at;
        float heading;
    };
    std::vector<RoadSpot> patrolSpots(const float* fractions, int count, bool roadByRoad) const;
    void placePursuers();
    void setMedals();
    void chooseSky();
    void describe();

    Random random;
    LevelPlan plan;
};

}  // namespace assetgen
