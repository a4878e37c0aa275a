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
    while (accumulatedTime > 0.0) {
        NewtonUpdate(Physics::newtonWorld, static_cast<float>(accumulatedTime));
        // The rate is read every round; without a positive one, one update is all.
        accumulatedTime -= Physics::minFPS > 0.0f ? 1.0 / Physics::minFPS : accumulatedTime;
    }
    accumulatedTime = 0.0;
}
