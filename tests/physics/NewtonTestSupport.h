#pragma once
// Helpers for the tests of the Newton-style interface: a real world stepped
// at 100 Hz, bodies made in one call, and the extent of a body's faces.
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "math/Constants.h"  // HALF_PI
#include "physics/newton.h"

namespace newton_test {

using Matrix16 = std::array<float, 16>;

inline Matrix16 translation(float x, float y, float z) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// Rotation about Y by angle (radians), then moved to (x, y, z).
inline Matrix16 yawed(float angle, float x, float y, float z) {
    float c = std::cos(angle), s = std::sin(angle);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, x, y, z, 1};
}

// Rotation about Z by angle (radians), then moved to (x, y, z).
inline Matrix16 rolled(float angle, float x, float y, float z) {
    float c = std::cos(angle), s = std::sin(angle);
    return {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

inline Matrix16 matrixOf(NewtonBody* body) {
    Matrix16 m;
    NewtonBodyGetMatrix(body, m.data());
    return m;
}

// Plain gravity, as the game applies it.
inline void gravity(NewtonBody* body) {
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(body, &mass, &ix, &iy, &iz);
    const float force[3] = {0.0f, -9.8f * mass, 0.0f};
    NewtonBodySetForce(body, force);
}

struct Extent {
    float min[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                    std::numeric_limits<float>::max()};
    float max[3] = {-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                    -std::numeric_limits<float>::max()};
    int faces = 0;
    std::vector<int> vertexCounts;
};

// The world-space extent of every face the body reports.
inline Extent faceExtent(NewtonBody* body) {
    static Extent* current = nullptr;
    Extent extent;
    current = &extent;
    NewtonBodyForEachPolygonDo(body, [](NewtonBody*, int count, const float* v, int) {
        current->faces++;
        current->vertexCounts.push_back(count);
        for (int i = 0; i < count; ++i) {
            for (int axis = 0; axis < 3; ++axis) {
                current->min[axis] = std::min(current->min[axis], v[3 * i + axis]);
                current->max[axis] = std::max(current->max[axis], v[3 * i + axis]);
            }
        }
    });
    current = nullptr;
    return extent;
}

// A world at 100 Hz with a region large enough for every test, destroyed
// with everything in it at the end of the test.
class TestWorld {
public:
    TestWorld() {
        world = NewtonCreate(nullptr, nullptr);
        NewtonSetMinimumFrameRate(world, 100.0f);
        const float low[3] = {-1000, -1000, -1000}, high[3] = {1000, 1000, 1000};
        NewtonSetWorldSize(world, low, high);
    }
    ~TestWorld() { NewtonDestroy(world); }
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // A body of the collision at pose, dynamic with gravity when mass > 0.
    NewtonBody* body(NewtonCollision* collision, const Matrix16& pose, float mass) {
        NewtonBody* b = NewtonCreateBody(world, collision);
        NewtonReleaseCollision(world, collision);
        NewtonBodySetMatrix(b, pose.data());
        if (mass > 0.0f) {
            NewtonBodySetMassMatrix(b, mass, 0, 0, 0);
            NewtonBodySetForceAndTorqueCallback(b, gravity);
        }
        return b;
    }

    NewtonBody* box(float dx, float dy, float dz, const Matrix16& pose, float mass) {
        return body(NewtonCreateBox(world, dx, dy, dz, nullptr), pose, mass);
    }

    // A static floor whose top face is at y = top.
    NewtonBody* floor(float top = 0.0f) { return box(40, 1, 40, translation(0, top - 0.5f, 0), 0); }

    // Runs for the given time in frames of 10 ms.
    void run(float seconds) {
        int frames = int(std::lround(seconds / 0.01f));
        for (int i = 0; i < frames; ++i) NewtonUpdate(world, 0.01f);
    }

    NewtonWorld* world = nullptr;
};

}  // namespace newton_test
