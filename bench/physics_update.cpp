// One 10 ms world update with the terrain's collision tree (256 x 256 grid)
// and nine sled-shaped cars driving circles on it, their horizontal velocity
// imposed every frame as the car movement does.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

#include "physics/newton.h"

namespace {

constexpr int GRID = 256;
constexpr float EXTENT = 600.0f;
constexpr int CARS = 9;
constexpr float STEP = 0.01f;
constexpr float SPEED = 12.0f;      // m/s
constexpr float TURN_RATE = 0.4f;   // rad/s: circles of 30 m

float heightAt(float x, float z) { return 3.0f * std::sin(x * 0.02f) * std::cos(z * 0.03f); }

NewtonCollision* terrainTree(NewtonWorld* world) {
    NewtonCollision* tree = NewtonCreateTreeCollision(world, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    float step = EXTENT / (GRID - 1);
    auto vertex = [step](int i, int j, float* out) {
        float x = i * step - 0.5f * EXTENT, z = j * step - 0.5f * EXTENT;
        out[0] = x, out[1] = heightAt(x, z), out[2] = z;
    };
    for (int i = 0; i + 1 < GRID; ++i) {
        for (int j = 0; j + 1 < GRID; ++j) {
            float a[9], b[9];
            vertex(i, j, a), vertex(i, j + 1, a + 3), vertex(i + 1, j, a + 6);
            vertex(i + 1, j, b), vertex(i, j + 1, b + 3), vertex(i + 1, j + 1, b + 6);
            NewtonTreeCollisionAddFace(tree, 3, a, 12, 1);
            NewtonTreeCollisionAddFace(tree, 3, b, 12, 1);
        }
    }
    NewtonTreeCollisionEndBuild(tree, 0);
    return tree;
}

void gravity(NewtonBody* body) {
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(body, &mass, &ix, &iy, &iz);
    const float force[3] = {0, -9.8f * mass, 0};
    NewtonBodySetForce(body, force);
}

using Matrix16 = std::array<float, 16>;

Matrix16 pose(float yaw, float x, float y, float z) {
    float c = std::cos(yaw), s = std::sin(yaw);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, x, y, z, 1};
}

// The sled of a car model 1.8 wide, 1.2 high and 4 long around its origin:
// two runners and the body block, as the sled creator builds them.
NewtonCollision* sled(NewtonWorld* world) {
    float w = 1.8f, h = 1.2f, l = 4.0f, r = 0.25f * w;
    float y0 = -0.5f * h + r;
    Matrix16 left = pose(1.5707963f, -0.5f * w + r, y0, 0);
    Matrix16 right = pose(1.5707963f, 0.5f * w - r, y0, 0);
    Matrix16 block = pose(0, 0, r, 0);
    NewtonCollision* parts[3] = {NewtonCreateCapsule(world, r, l, left.data()),
                                 NewtonCreateCapsule(world, r, l, right.data()),
                                 NewtonCreateBox(world, w - 2 * r, h - r, l - 2 * r, block.data())};
    NewtonCollision* compound = NewtonCreateCompoundCollision(world, 3, parts);
    for (NewtonCollision* part : parts) NewtonReleaseCollision(world, part);
    return compound;
}

struct Car {
    NewtonBody* body;
    float heading;
};

// Imposes heading and horizontal velocity, keeping Newton's vertical motion.
void drive(Car& car) {
    car.heading += TURN_RATE * STEP;
    Matrix16 m;
    NewtonBodyGetMatrix(car.body, m.data());
    Matrix16 turned = pose(car.heading, m[12], m[13], m[14]);
    NewtonBodySetMatrix(car.body, turned.data());
    float v[3];
    NewtonBodyGetVelocity(car.body, v);
    v[0] = -SPEED * std::sin(car.heading);
    v[2] = -SPEED * std::cos(car.heading);
    NewtonBodySetVelocity(car.body, v);
}

void BM_UpdateTerrainWithNineCars(benchmark::State& state) {
    NewtonWorld* world = NewtonCreate(nullptr, nullptr);
    NewtonSetMinimumFrameRate(world, 100.0f);
    const float low[3] = {-EXTENT, -20, -EXTENT}, high[3] = {EXTENT, 20, EXTENT};
    NewtonSetWorldSize(world, low, high);
    NewtonCollision* tree = terrainTree(world);
    NewtonCreateBody(world, tree);
    NewtonReleaseCollision(world, tree);

    std::vector<Car> cars;
    NewtonCollision* shape = sled(world);
    for (int i = 0; i < CARS; ++i) {
        float x = 60.0f * (i % 3 - 1), z = 60.0f * (i / 3 - 1);
        NewtonBody* body = NewtonCreateBody(world, shape);
        Matrix16 start = pose(0, x, heightAt(x, z) + 1.0f, z);
        NewtonBodySetMatrix(body, start.data());
        NewtonBodySetMassMatrix(body, 20.0f, 0, 0, 0);
        const float com[3] = {0, -0.07f, 0};
        NewtonBodySetCentreOfMass(body, com);
        NewtonBodySetForceAndTorqueCallback(body, gravity);
        NewtonBodySetAutoFreeze(body, 0);
        cars.push_back({body, 0.0f});
    }
    NewtonReleaseCollision(world, shape);
    for (int i = 0; i < 100; ++i) {  // settle on the ground, then drive
        for (Car& car : cars) drive(car);
        NewtonUpdate(world, STEP);
    }

    for (auto _ : state) {
        for (Car& car : cars) drive(car);
        NewtonUpdate(world, STEP);
    }

    float lowest = 1e9f;
    for (Car& car : cars) {
        Matrix16 m;
        NewtonBodyGetMatrix(car.body, m.data());
        lowest = std::min(lowest, m[13] - heightAt(m[12], m[14]));
    }
    state.counters["lowest_car_above_ground"] = lowest;  // stays positive: no car sank through
    NewtonDestroy(world);
}
BENCHMARK(BM_UpdateTerrainWithNineCars)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

}  // namespace
