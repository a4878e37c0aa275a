#include "physics/PhysicsUpdater.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "physics/Physics.h"

PhysicsUpdater::PhysicsUpdater(int updatesPerSecond) {
    if (updatesPerSecond <= 0) {
        std::printf("\n PhysicsUpdater::PhysicsUpdater(): WARNING! %d updates per second, 100 used", updatesPerSecond);
        updatesPerSecond = 100;
    }
    updateFrequency = 1.0 / updatesPerSecond;
    std::printf("\n PhysicsUpdater::PhysicsUpdater(): updateFrequency = %.5f", updateFrequency);
}

void PhysicsUpdater::animate(double elapsedTime) {
    if (!std::isfinite(elapsedTime) || elapsedTime < 0.0) {
        std::printf("\n PhysicsUpdater::animate(): WARNING! elapsed time %f ignored", elapsedTime);
        return;
    }
    accumulatedTime += std::min(elapsedTime, MAX_FRAME_TIME);
    if (accumulatedTime <= updateFrequency) return;

    Physics::applyForceAndTorque(accumulatedTime);
    // The world advances by exactly the collected time; NewtonUpdate cuts it
    // into equal sub-steps of at most 1 / Physics::minFPS. (Updating again
    // with the remainder less one step, round after round, would run the
    // world faster than the clock: 1.8 times at 40 frames per second, more
    // the slower the frames.)
    NewtonUpdate(Physics::newtonWorld, static_cast<float>(accumulatedTime));
    accumulatedTime = 0.0;
}
