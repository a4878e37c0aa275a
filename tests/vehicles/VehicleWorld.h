#pragma once
#include <cstdlib>
#include <memory>
#include <string>

#include "animation/Animator.h"
#include "physics/PhysicSledCreator.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "support/FakeClock.h"
#include "vehicles/SimpleCarNode.h"

// A fresh physics world with a flat static floor (top at y = 0, 180 x 180
// units) for the vehicle tests, and frames of controlled length: the
// animator's animations run with the clock's time, then the world is stepped
// by exactly that time.
class VehicleWorld {
public:
    VehicleWorld() {
        Physics::reset();
        floor->getBoundingBox()->setExtent(-90, 90, -1, 0, -90, 90);
        floor->physicAllocate();
    }
    ~VehicleWorld() { Physics::reset(); }

    // Runs frames of dt seconds until `seconds` have passed.
    void run(double seconds, double dt = 0.01) {
        const long count = std::lround(seconds / dt);
        for (long i = 0; i < count; ++i) {
            clock.advance(dt);
            animator.animate();
            NewtonUpdate(Physics::newtonWorld, static_cast<float>(dt));
        }
    }

    // The game's data folder (models written by the asset kit).
    static std::string modelDir() {
        const char* game = std::getenv("ZARVIK_GAME_DIR");
        return std::string(game ? game : "game") + "/models";
    }

    // The player's car as the level builds it: a dynamic sled of mass 20,
    // never put to sleep, centre of mass a little low.
    static std::shared_ptr<SimpleCarNode> playerCar(float x, float y, float z) {
        auto car = std::make_shared<SimpleCarNode>("Player Car");
        GeometryNode::PhysicVolume& volume = *car->getPhysicVolume();
        volume.materialGroupID = Physics::carMat;
        const float com[3] = {0.0f, -0.07f, 0.0f};
        std::copy(com, com + 3, volume.centreOfMass.get());
        volume.creator = std::make_shared<PhysicSledCreator>(car.get());
        volume.mass = 20.0f;
        car->load(modelDir(), "player_body.txt", "player_tire.txt",
                  {Vector(-0.233, 0.165, -0.6), Vector(0.233, 0.165, -0.6), Vector(-0.233, 0.165, 0.54),
                   Vector(0.233, 0.165, 0.54)});
        car->setTranslation(x, y, z);
        return car;
    }

    FakeClock clock;
    Animator animator;
    std::shared_ptr<GeometryNode> floor = std::make_shared<GeometryNode>("floor");
};
