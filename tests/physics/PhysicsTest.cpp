// Physics (the game's world, gravity, materials, memory accounting, debug
// drawing) and the PhysicsUpdater that steps it from frame times.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>
#include <vector>

#include "LineCapture.h"
#include "NewtonTestSupport.h"
#include "physics/Physics.h"
#include "physics/PhysicsUpdater.h"
#include "support/GlTestWindow.h"

using namespace newton_test;

namespace {

// A fresh game world for every test, with the game's gravity and rate.
class PhysicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Physics::gForce = -9.8f;
        Physics::minFPS = 100.0f;
        Physics::reset();
    }
    void TearDown() override {
        Physics::gForce = -9.8f;
        Physics::minFPS = 100.0f;
    }

    NewtonBody* box(const Matrix16& pose, float mass, NewtonApplyForceAndTorque force = Physics::handleForceAndTorque) {
        NewtonCollision* shape = NewtonCreateBox(Physics::newtonWorld, 1, 1, 1, nullptr);
        NewtonBody* body = NewtonCreateBody(Physics::newtonWorld, shape);
        NewtonReleaseCollision(Physics::newtonWorld, shape);
        NewtonBodySetMatrix(body, pose.data());
        if (mass > 0) {
            NewtonBodySetMassMatrix(body, mass, 0, 0, 0);
            NewtonBodySetForceAndTorqueCallback(body, force);
            NewtonBodySetLinearDamping(body, 0.0f);
        }
        return body;
    }
};

TEST_F(PhysicsTest, GravityIsTheForceOfTheBodysMass) {
    NewtonBody* heavy = box(translation(0, 50, 0), 20.0f);
    NewtonBody* light = box(translation(5, 50, 0), 0.5f);
    NewtonUpdate(Physics::newtonWorld, 0.01f);
    float v[3];
    NewtonBodyGetVelocity(heavy, v);
    EXPECT_NEAR(v[1], -0.098f, 1e-5f);  // (0, -196, 0) on mass 20 for 10 ms
    EXPECT_NEAR(v[0], 0.0f, 1e-6f);
    NewtonBodyGetVelocity(light, v);
    EXPECT_NEAR(v[1], -0.098f, 1e-5f);
    EXPECT_TRUE(Physics::bodies.empty());

    Physics::gForce = -20.0f;
    NewtonUpdate(Physics::newtonWorld, 0.01f);
    NewtonBodyGetVelocity(heavy, v);
    EXPECT_NEAR(v[1], -0.098f - 0.2f, 1e-5f);
}

TEST_F(PhysicsTest, ApplyForceAndTorqueFlushesPendingBodies) {
    NewtonBody* body = box(translation(0, 50, 0), 2.0f, nullptr);
    Physics::bodies.insert(body);
    Physics::applyForceAndTorque(0.0);
    EXPECT_TRUE(Physics::bodies.empty());
    Physics::applyForceAndTorque(0.0);  // nothing pending: nothing happens
}

TEST_F(PhysicsTest, ResetTwiceLeavesOneWorldWithTheGameMaterials) {
    const unsigned first = Physics::worldGeneration;
    Physics::reset();
    Physics::reset();
    ASSERT_NE(Physics::newtonWorld, nullptr);
    // Two new worlds were made (the allocator may hand out the old address again).
    EXPECT_EQ(Physics::worldGeneration, first + 2);
    EXPECT_EQ(Physics::defaultMat, 0);
    EXPECT_EQ(Physics::levelMat, Physics::defaultMat);
    EXPECT_EQ(Physics::carMat, Physics::defaultMat);

    // Static friction 1.0 holds a box on a 44 degree slope (the library's
    // own default of 0.9 would let it slide).
    const float slope = 44.0f * 3.14159265f / 180.0f;
    NewtonCollision* ramp = NewtonCreateBox(Physics::newtonWorld, 10, 1, 4, nullptr);
    NewtonBody* rampBody = NewtonCreateBody(Physics::newtonWorld, ramp);
    NewtonReleaseCollision(Physics::newtonWorld, ramp);
    NewtonBodySetMatrix(rampBody, rolled(slope, 0, 0, 0).data());
    // Resting on the ramp: one unit along the ramp's up axis (-sin, cos, 0).
    NewtonBody* block = box(rolled(slope, -std::sin(slope), std::cos(slope), 0), 1.0f);
    Matrix16 start = matrixOf(block);
    PhysicsUpdater updater(100);
    for (int i = 0; i < 200; ++i) updater.animate(0.011);
    Matrix16 end = matrixOf(block);
    float moved = std::hypot(end[12] - start[12], end[13] - start[13]);
    EXPECT_LT(moved, 0.02f);  // with 0.9 it creeps about 5 cm
}

TEST_F(PhysicsTest, ReleaseLeavesNoWorldUntilTheNextReset) {
    Physics::release();
    EXPECT_EQ(Physics::newtonWorld, nullptr);
    Physics::release();  // nothing left to free
    Physics::reset();
    EXPECT_NE(Physics::newtonWorld, nullptr);
}

// --- updater -------------------------------------------------------------------

// Counts world updates through the transform callback of one body that
// drifts at 1 m/s along x without gravity: its x is the simulated time.
class PhysicsUpdaterTest : public PhysicsTest {
protected:
    void SetUp() override {
        PhysicsTest::SetUp();
        updates = 0;
        drifter = box(translation(0, 0, 0), 1.0f, [](NewtonBody*) {});
        NewtonBodySetAutoFreeze(drifter, 0);
        const float velocity[3] = {1, 0, 0};
        NewtonBodySetVelocity(drifter, velocity);
        NewtonBodySetTransformCallback(drifter, [](NewtonBody*, const float*) { ++updates; });
    }
    float simulated() { return matrixOf(drifter)[12]; }

    static int updates;
    NewtonBody* drifter = nullptr;
};
int PhysicsUpdaterTest::updates = 0;

TEST_F(PhysicsUpdaterTest, ReportsItsUpdateFrequency) {
    testing::internal::CaptureStdout();
    PhysicsUpdater updater(int(Physics::minFPS));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\n PhysicsUpdater::PhysicsUpdater(): updateFrequency = 0.01000");
    EXPECT_DOUBLE_EQ(updater.getUpdateFrequency(), 0.01);
    EXPECT_EQ(updater.getAccumulatedTime(), 0.0);
}

TEST_F(PhysicsUpdaterTest, ALongFrameAdvancesTheWorldByExactlyItsTime) {
    PhysicsUpdater updater(100);
    updater.animate(0.025);  // one update; the world takes it in three equal steps
    EXPECT_EQ(updates, 1);
    EXPECT_NEAR(simulated(), 0.025f, 1e-4f);
    EXPECT_EQ(updater.getAccumulatedTime(), 0.0);
}

TEST_F(PhysicsUpdaterTest, ShortFramesAreCollectedUntilTheyExceedTheFrequency) {
    PhysicsUpdater updater(100);
    updater.animate(0.008);
    EXPECT_EQ(updates, 0);
    EXPECT_DOUBLE_EQ(updater.getAccumulatedTime(), 0.008);
    updater.animate(0.008);
    EXPECT_EQ(updates, 1);
    EXPECT_NEAR(simulated(), 0.016f, 1e-4f);
    EXPECT_EQ(updater.getAccumulatedTime(), 0.0);
}

TEST_F(PhysicsUpdaterTest, SimulatedTimeKeepsPaceWithTheClockAtAnyFrameRate) {
    for (double frame : {0.004, 0.011, 0.017, 0.05}) {
        const float start = simulated();
        PhysicsUpdater updater(100);
        double clock = 0.0;
        while (clock < 2.0 - 1e-9) {
            updater.animate(frame);
            clock += frame;
        }
        // All but the time still collected (under one update period) was simulated.
        EXPECT_NEAR(simulated() - start, 2.0 - updater.getAccumulatedTime(), 0.01) << "frames of " << frame << " s";
    }
}

TEST_F(PhysicsUpdaterTest, ExactlyOneFrequencyDoesNotStep) {
    PhysicsUpdater updater(100);
    updater.animate(0.01);
    EXPECT_EQ(updates, 0);
    updater.animate(0.0);
    EXPECT_EQ(updates, 0);
}

TEST_F(PhysicsUpdaterTest, InvalidTimesNeitherStepNorHang) {
    PhysicsUpdater updater(100);
    testing::internal::CaptureStdout();
    updater.animate(-1.0);
    updater.animate(std::nan(""));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(updates, 0);
    EXPECT_NE(out.find("\n PhysicsUpdater::animate(): WARNING!"), std::string::npos);
}

TEST_F(PhysicsUpdaterTest, AStalledFrameIsCutShort) {
    PhysicsUpdater updater(100);
    updater.animate(30.0);
    EXPECT_EQ(updates, 1);
    EXPECT_NEAR(simulated(), PhysicsUpdater::MAX_FRAME_TIME, 1e-3);
}

// --- debug drawing (real GL, captured in feedback mode) -------------------------

void expectPoint(const float* p, float x, float y, float z) {
    EXPECT_NEAR(p[0], x, 0.01f);
    EXPECT_NEAR(p[1], y, 0.01f);
    EXPECT_NEAR(p[2], z, 0.01f);
}

TEST_F(PhysicsTest, FaceOutlineClosesThroughTheLastVertex) {
    REQUIRE_GL();
    const float triangle[9] = {1, 0, 0, 0, 2, 0, -3, 0, 0};
    std::vector<Line> lines = capturedLines([&] {
        glBegin(GL_LINES);
        Physics::DebugShowGeometryCollision(nullptr, 3, triangle, 0);
        glEnd();
    });
    ASSERT_EQ(lines.size(), 3u);  // six line vertices
    expectPoint(lines[0].a, -3, 0, 0);
    expectPoint(lines[0].b, 1, 0, 0);
    expectPoint(lines[1].a, 1, 0, 0);
    expectPoint(lines[1].b, 0, 2, 0);
    expectPoint(lines[2].a, 0, 2, 0);
    expectPoint(lines[2].b, -3, 0, 0);
}

TEST_F(PhysicsTest, DebugViewDrawsTheBodiesInsideItsBox) {
    REQUIRE_GL();
    box(translation(1, 1, 0), 0);
    box(translation(40, 0, 0), 0);  // outside the box
    for (int axis = 0; axis < 3; ++axis) {
        Physics::debugLinesMin[axis] = -5;
        Physics::debugLinesMax[axis] = 5;
    }
    std::vector<Line> lines = capturedLines([] { Physics::DebugShowCollision(); });
    EXPECT_EQ(lines.size(), 24u);  // 6 faces of 4 edges
    for (const Line& line : lines) {
        EXPECT_NEAR(std::fabs(line.a[0] - 1.0f), 0.5f, 0.01f);
        EXPECT_NEAR(std::fabs(line.a[1] - 1.0f), 0.5f, 0.01f);
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

}  // namespace
