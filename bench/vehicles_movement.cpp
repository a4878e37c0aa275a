// The player's car and eight pursuers, each a SimpleCarNode on a sled body
// driven by its PhysicCarMovement, on a flat floor. Measures the movements
// alone (heading, yaw correction, velocity, wheel display for nine cars) and
// a whole 16 ms frame of movements plus world update, to show which share of
// a frame's physics work the car movement is.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BoxModel.h"
#include "physics/PhysicSledCreator.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "vehicles/PhysicCarMovement.h"

namespace {

constexpr int CARS = 9;
constexpr double FRAME = 0.016;

struct Fleet {
    std::shared_ptr<GeometryNode> floor = std::make_shared<GeometryNode>("floor");
    std::vector<std::shared_ptr<SimpleCarNode>> cars;
    std::vector<std::shared_ptr<PhysicCarMovement>> movements;

    Fleet() {
        char pattern[] = "/tmp/zbenchXXXXXX";
        const std::string dir = mkdtemp(pattern) ? pattern : "/tmp";
        writeBoxModel(dir + "/body.txt", -0.3f, 0.1f, -0.8f, 0.3f, 0.6f, 0.7f);
        writeBoxModel(dir + "/tire.txt", -0.065f, -0.165f, -0.165f, 0.065f, 0.165f, 0.165f);
        Physics::reset();
        const float size[3] = {-100, -10, -100}, top[3] = {100, 50, 100};
        NewtonSetWorldSize(Physics::newtonWorld, size, top);
        floor->getBoundingBox()->setExtent(-95, 95, -1, 0, -95, 95);
        floor->physicAllocate();
        const SimpleCarNode::TireOffsets offsets = {Vector(-0.233, 0.165, -0.6), Vector(0.233, 0.165, -0.6),
                                                    Vector(-0.233, 0.165, 0.54), Vector(0.233, 0.165, 0.54)};
        for (int i = 0; i < CARS; ++i) {
            auto car = std::make_shared<SimpleCarNode>("car");
            GeometryNode::PhysicVolume& volume = *car->getPhysicVolume();
            volume.creator = std::make_shared<PhysicSledCreator>(car.get());
            volume.mass = 20.0f;
            volume.centreOfMass[1] = -0.07f;
            car->load(dir, "body.txt", "tire.txt", offsets);
            car->setTranslation(-60.0f + 15.0f * i, 0.2f, 0.0f);
            auto movement = std::make_shared<PhysicCarMovement>(car);
            car->physicAllocate();
            // Every car drives circles at full speed.
            movement->speed = 15.0f;
            movement->setAccelerating(true);
            movement->setSteerLeft(true);
            cars.push_back(car);
            movements.push_back(movement);
        }
        for (int i = 0; i < 50; ++i) frame();  // settled and moving
    }
    ~Fleet() { Physics::reset(); }

    void animate() {
        for (const auto& movement : movements) movement->animate(FRAME);
    }
    void frame() {
        animate();
        NewtonUpdate(Physics::newtonWorld, static_cast<float>(FRAME));
    }
};

void BM_NineCarMovements(benchmark::State& state) {
    Fleet fleet;
    for (auto _ : state) fleet.animate();
}
BENCHMARK(BM_NineCarMovements)->Unit(benchmark::kMicrosecond);

void BM_NineCarsFrameWithWorldUpdate(benchmark::State& state) {
    Fleet fleet;
    for (auto _ : state) fleet.frame();
}
BENCHMARK(BM_NineCarsFrameWithWorldUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
