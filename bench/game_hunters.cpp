// Eight pursuers with their brains on a flat floor, as the level has them:
// a SimpleCarNode on a sled body each, driven by its PhysicCarMovement, the
// brain steering it between four checkpoints or after the player, whose car
// drives circles in the middle. Measures the eight brains alone, one physics
// update of 10 ms with the nine cars (movements and world), and a whole frame
// of brains, movements, world and the brains' events.
//
// The brains' HUD stars are pictures, so this program needs an X display
// (it opens a hidden GL window, as the GL tests do).
#include <benchmark/benchmark.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/EventManager.h"
#include "game/HunterAI.h"
#include "BoxModel.h"
#include "physics/PhysicSledCreator.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "vehicles/PhysicCarMovement.h"

namespace {

constexpr int HUNTERS = 8;
constexpr double STEP = 0.01;  // the physics updater's period

bool openGlWindow() {
    static bool open = false;
    if (open) return true;
    if (!std::getenv("DISPLAY")) return false;
    int argc = 1;
    char name[] = "game_hunters";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DEPTH | GLUT_DOUBLE);
    glutInitWindowSize(64, 64);
    glutCreateWindow("game_hunters");
    glutDisplayFunc([] {});
    glutHideWindow();
    open = glewInit() == GLEW_OK;
    return open;
}

struct Pursuit {
    std::shared_ptr<GeometryNode> floor = std::make_shared<GeometryNode>("floor");
    std::shared_ptr<EventManager> events = std::make_shared<EventManager>();
    std::vector<std::shared_ptr<PhysicCarMovement>> movements;  // the player's first
    std::vector<std::shared_ptr<HunterAI>> brains;

    Pursuit() {
        char pattern[] = "/tmp/zbenchXXXXXX";
        const std::string dir = mkdtemp(pattern) ? pattern : "/tmp";
        writeBoxModel(dir + "/body.txt", -0.3f, 0.1f, -0.8f, 0.3f, 0.6f, 0.7f);
        writeBoxModel(dir + "/tire.txt", -0.065f, -0.165f, -0.165f, 0.065f, 0.165f, 0.165f);
        Physics::reset();
        const float low[3] = {-150, -10, -150}, high[3] = {150, 50, 150};
        NewtonSetWorldSize(Physics::newtonWorld, low, high);
        floor->getBoundingBox()->setExtent(-145, 145, -1, 0, -145, 145);
        floor->physicAllocate();

        auto player = addCar(dir, 0.0f, 0.0f, 1.0f);
        auto& playerMovement = movements.front();
        playerMovement->setAccelerating(true);  // circles in the middle
        playerMovement->setSteerLeft(true);
        HunterAI::BLIND = false;
        const float starts[HUNTERS][2] = {{100, 0}, {0, 100}, {-100, 0}, {0, -100},
                                          {100, 100}, {-100, 100}, {100, -100}, {-130, 130}};
        for (const auto& s : starts) {
            addCar(dir, s[0], s[1], 2.0f);
            auto brain = std::make_shared<HunterAI>(movements.back(), player, "images/policestar.png");
            brain->setViewfield(events, 25.0f, -3.0f);
            const float checkpoints[4][2] = {{120, 0}, {-120, 0}, {0, 120}, {0, -120}};
            for (const auto& c : checkpoints) brain->addCheckpoint(events, Vector(c[0], 0.5, c[1]), 5.0f, "Ortstafel");
            brains.push_back(brain);
        }
        for (int i = 0; i < 300; ++i) frame();  // settled; the nearer pursuers hunt by now
    }
    ~Pursuit() {
        HunterAI::BLIND = true;
        Physics::reset();
    }

    std::shared_ptr<SimpleCarNode> addCar(const std::string& dir, float x, float z, float radius) {
        const SimpleCarNode::TireOffsets offsets = {Vector(-0.233, 0.165, -0.6), Vector(0.233, 0.165, -0.6),
                                                    Vector(-0.233, 0.165, 0.54), Vector(0.233, 0.165, 0.54)};
        auto car = std::make_shared<SimpleCarNode>("car");
        GeometryNode::PhysicVolume& volume = *car->getPhysicVolume();
        volume.creator = std::make_shared<PhysicSledCreator>(car.get());
        volume.mass = 20.0f;
        volume.alwaysActive = true;
        volume.centreOfMass[1] = -0.07f;
        car->load(dir, "body.txt", "tire.txt", offsets);
        car->setTranslation(x, 0.2f, z);
        car->getEventSphere()->radius = radius;
        movements.push_back(std::make_shared<PhysicCarMovement>(car));
        car->physicAllocate();
        return car;
    }

    void think() {
        for (const auto& brain : brains) brain->animate(STEP);
    }
    void physics() {
        for (const auto& movement : movements) movement->animate(STEP);
        NewtonUpdate(Physics::newtonWorld, static_cast<float>(STEP));
    }
    void frame() {
        think();
        physics();
        events->performEvents();
    }
};

void BM_EightPursuerBrains(benchmark::State& state) {
    if (!openGlWindow()) return state.SkipWithError("needs an X display");
    Pursuit pursuit;
    for (auto _ : state) pursuit.think();
}
BENCHMARK(BM_EightPursuerBrains)->Unit(benchmark::kMicrosecond);

void BM_PhysicsUpdateOfNineCars(benchmark::State& state) {
    if (!openGlWindow()) return state.SkipWithError("needs an X display");
    Pursuit pursuit;
    for (auto _ : state) pursuit.physics();
}
BENCHMARK(BM_PhysicsUpdateOfNineCars)->Unit(benchmark::kMicrosecond);

void BM_PursuitFrame(benchmark::State& state) {
    if (!openGlWindow()) return state.SkipWithError("needs an X display");
    Pursuit pursuit;
    int hunting = 0;
    for (auto _ : state) pursuit.frame();
    for (const auto& brain : pursuit.brains) hunting += brain->getState() == HunterAI::HUNTING ? 1 : 0;
    state.counters["hunting"] = hunting;
}
BENCHMARK(BM_PursuitFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
