#pragma once
#include <memory>

#include "animation/Animation.h"
#include "overlay/Minimap.h"
#include "overlay/Speedometer.h"
#include "scenegraph/GeometryNode.h"

class DemoLevel;

// Tells the minimap and the speedometer how the level stands, once a frame
// after the physics has moved the cars: the player's car with its front, the
// start area, each sign standing or dismantled, each item while it lies in
// its place, the pursuers within PURSUER_RANGE of the car and every hunting
// pursuer wherever it is; the car's speed over the ground and its top speed,
// raised while an engine item works.
class MinimapFeed : public Animation {
public:
    // The pursuers a player could know about without their star: this near.
    static constexpr float PURSUER_RANGE = 100.0f;

    // The level outlives the feed (its animator holds it).
    MinimapFeed(const DemoLevel& level, std::shared_ptr<Minimap> minimap, std::shared_ptr<Speedometer> speedometer);

    void animate(double elapsedTime) override;

    // Units per second along the ground (the horizontal part of the body's
    // velocity); 0 for a node without a live body.
    static double groundSpeed(const GeometryNode& car);

private:
    void feedMinimap() const;
    void feedSpeedometer() const;

    const DemoLevel& level;
    std::shared_ptr<Minimap> minimap;
    std::shared_ptr<Speedometer> speedometer;
    double normalTopSpeed;  // the car's top speed without an engine item
};
