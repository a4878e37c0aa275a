#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "game/DemoLevel.h"
#include "input/KeyboardProcessor.h"
#include "physics/PhysicVolume.h"
#include "support/FakeClock.h"
#include "support/GlTestWindow.h"

namespace {

// Frames a little longer than the physics update period: the updater then
// simulates 0.0102 s per frame, so simulated and real time stay close.
constexpr double FRAME = 0.0101;
constexpr double SIMULATED_PER_FRAME = 0.0102;

class DemoLevelTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!GlTestWindow::ensure()) return;
        // The level opens its models and pictures relative to the working directory.
        if (const char* data = std::getenv("ZARVIK_GAME_DIR")) EXPECT_EQ(chdir(data), 0);
        clock = new FakeClock;
    }
    void SetUp() override {
        REQUIRE_GL();
        if (!shared) {
            KeyboardProcessor::reset();
            shared = std::make_shared<DemoLevel>();
            shared->preBuild();
            shared->build();
        }
        shared->reset();
        settle();
    }
    static void TearDownTestSuite() {
        shared.reset();
        KeyboardProcessor::reset();
        delete clock;
        clock = nullptr;
    }

    // Runs the level's frames (animations, physics, events; painting only
    // every tenth frame, to keep the test fast under the sanitizers).
    static void frames(int n) {
        for (int i = 0; i < n; ++i) {
            clock->advance(FRAME);
            if (i % 10 == 0) shared->display();
            else shared->getAnimator()->animate();
        }
    }
    static void settle() { frames(150); }  // the car drops 2 units onto its wheels

    static const Matrix& pose() { return *shared->getPlayerCar()->getPhysicVolume()->matrix; }

    static FakeClock* clock;
    static std::shared_ptr<DemoLevel> shared;
};

FakeClock* DemoLevelTest::clock = nullptr;
std::shared_ptr<DemoLevel> DemoLevelTest::shared;

}  // namespace

TEST_F(DemoLevelTest, BuildsTheWorldAroundTheStart) {
    auto car = shared->getPlayerCar();
    ASSERT_TRUE(car);
    ASSERT_TRUE(shared->getTerrain());
    EXPECT_EQ(shared->getSigns().size(), 4u);
    EXPECT_TRUE(shared->getRoot()->getCamera()->isFocusing());
    // Each sign carries its town plate on the mesh "face".
    for (const auto& sign : shared->getSigns()) {
        auto face = sign->getMesh("face");
        ASSERT_TRUE(face);
        EXPECT_TRUE(face->getTexture());
    }
    // Standing on its wheels at the start: the body is at the terrain height.
    EXPECT_NEAR(pose()[12], 0.0f, 0.05f);
    EXPECT_NEAR(pose()[14], 0.0f, 0.05f);
    EXPECT_NEAR(pose()[13], shared->height(0, 0), 0.3f);
}

TEST_F(DemoLevelTest, ThreeSecondsOfWDriveAboutTwentyNineUnitsAlongMinusZ) {
    const float startZ = pose()[14];
    KeyboardProcessor::processDown('w', 0, 0);
    const int n = static_cast<int>(std::lround(3.0 / SIMULATED_PER_FRAME));
    float lowestClearance = 1e9f, highestClearance = -1e9f;
    for (int i = 0; i < n; ++i) {
        frames(1);
        const float clearance = pose()[13] - shared->height(pose()[12], pose()[14]);
        lowestClearance = std::min(lowestClearance, clearance);
        highestClearance = std::max(highestClearance, clearance);
    }
    KeyboardProcessor::processUp('w', 0, 0);
    // 0.5 x 7 x (15/7)^2 + 15 x (3 - 15/7) = 28.93 over three simulated seconds.
    EXPECT_NEAR(startZ - pose()[14], 28.93f, 0.8f);
    EXPECT_NEAR(pose()[12], 0.0f, 0.3f);
    // On the ground all the way: the body follows the terrain's height.
    EXPECT_GT(lowestClearance, -0.1f);
    EXPECT_LT(highestClearance, 0.3f);
}

TEST_F(DemoLevelTest, ACarDrivenIntoASignStopsAtIt) {
    // The sign at (0, -200) stands across the road; start 20 units in front of it.
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 0, shared->height(0, -180) + 0.5f, -180);
    settle();
    KeyboardProcessor::processDown('w', 0, 0);
    frames(260);  // without the sign the car would be 25 units further, at z = -205
    KeyboardProcessor::processUp('w', 0, 0);
    frames(50);
    // Stopped at the plate (its front face is at z = -199.98), not through it.
    EXPECT_GT(pose()[14], -200.1f);
    EXPECT_LT(pose()[14], -198.5f);
    EXPECT_NEAR(pose()[12], 0.0f, 0.5f);
}

TEST_F(DemoLevelTest, TheTerrainsWallsKeepTheCarIn) {
    // 15 units before the north edge of the terrain (z = -300), heading north.
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 40, shared->height(40, -285) + 0.5f, -285);
    settle();
    KeyboardProcessor::processDown('w', 0, 0);
    frames(400);  // enough for 40 units
    KeyboardProcessor::processUp('w', 0, 0);
    frames(50);
    EXPECT_LT(pose()[14], -295.0f);  // it reached the edge...
    EXPECT_GT(pose()[14], -300.0f);  // ...and stayed on the terrain
    EXPECT_GT(pose()[13], shared->height(pose()[12], pose()[14]) - 0.5f);
}

TEST_F(DemoLevelTest, ResetPutsTheCarBackAboveTheStart) {
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 50, 20, 50);
    shared->reset();
    EXPECT_FLOAT_EQ(car->getXpos(), 0.0f);
    EXPECT_FLOAT_EQ(car->getYpos(), shared->height(0, 0) + 2.0f);
    EXPECT_FLOAT_EQ(pose()[13], shared->height(0, 0) + 2.0f);
    EXPECT_FLOAT_EQ(car->getYrot(), 0.0f);
}
