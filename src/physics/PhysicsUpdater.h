#pragma once
#include "animation/Animation.h"

// Advances the physics world from the animator's frame time. Time is
// collected until it exceeds 1 / updatesPerSecond; then the world is updated
// once by the whole collected time (the world subdivides it into equal steps
// of at most 1 / Physics::minFPS), so simulated time keeps pace with the clock.
class PhysicsUpdater : public Animation {
public:
    // Frames longer than this (a stall, a breakpoint) count as this long, so
    // that a single frame cannot run thousands of world steps.
    static constexpr double MAX_FRAME_TIME = 0.25;

    explicit PhysicsUpdater(int updatesPerSecond);

    void animate(double elapsedTime) override;

    double getAccumulatedTime() const { return accumulatedTime; }
    double getUpdateFrequency() const { return updateFrequency; }

protected:
    double accumulatedTime = 0.0;
    double updateFrequency;
};
