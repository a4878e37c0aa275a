#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "VehicleWorld.h"
#include "input/KeyboardProcessor.h"
#include "math/Constants.h"
#include "support/GlTestWindow.h"
#include "vehicles/CarControl.h"
#include "vehicles/PhysicCarMovement.h"

namespace {

// The player's car standing on the floor at the origin, its movement
// registered with the animator and its keyboard control with the dispatcher.
class PhysicCarMovementTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        KeyboardProcessor::reset();
        car = VehicleWorld::playerCar(0.0f, 0.3f, 0.0f);
        ASSERT_EQ(car->getMeshes().empty(), false) << "no player car model in " << VehicleWorld::modelDir();
        movement = std::make_shared<PhysicCarMovement>(car);
        car->physicAllocate();
        world.animator.registerAnimation(movement);
        KeyboardProcessor::registerConsumer(std::make_shared<CarControl>(movement));
        world.run(1.0);  // drop onto the floor and settle
        restHeight = pose()[13];
    }
    void TearDown() override { KeyboardProcessor::reset(); }

    // The pose of the car's body as the world has it.
    Matrix pose() const {
        Matrix m;
        NewtonBodyGetMatrix(car->getPhysicVolume()->body, m.data());
        return m;
    }
    static double yawOf(const Matrix& m) { return std::atan2(-m[10], m[8]); }
    static void press(char key) { KeyboardProcessor::processDown(static_cast<unsigned char>(key), 0, 0); }
    static void release(char key) { KeyboardProcessor::processUp(static_cast<unsigned char>(key), 0, 0); }

    VehicleWorld world;
    std::shared_ptr<SimpleCarNode> car;
    std::shared_ptr<PhysicCarMovement> movement;
    float restHeight = 0.0f;
};

TEST_F(PhysicCarMovementTest, StartsFacingItsModelFrontAtRestOnTheFloor) {
    EXPECT_NEAR(movement->getHeading(), -HALF_PI, 1e-6);
    EXPECT_EQ(movement->speed, 0.0f);
    EXPECT_NEAR(restHeight, 0.0f, 0.05f);  // the runners reach down to the tire bottoms
    const Matrix m = pose();
    EXPECT_NEAR(m[12], 0.0f, 0.01f);
    EXPECT_NEAR(m[14], 0.0f, 0.01f);
    EXPECT_NEAR(yawOf(m), -HALF_PI, 1e-4);
    EXPECT_NEAR(m[5], 1.0f, 1e-3);  // standing upright
}

TEST_F(PhysicCarMovementTest, HoldingWReachesFifteenAndCoversTheDistance) {
    press('w');
    world.run(2.0);
    EXPECT_NEAR(movement->speed, 14.0f, 1e-3);
    world.run(0.15);
    EXPECT_EQ(movement->speed, 15.0f);  // 15 after 15/7 = 2.14 s, and no more
    world.run(0.85);
    EXPECT_EQ(movement->speed, 15.0f);

    // 0.5 x 7 x (15/7)^2 + 15 x (3 - 15/7) = 28.93 along the front (-Z).
    const Matrix m = pose();
    EXPECT_NEAR(m[14], -28.93f, 0.4f);  // the sled loses a little to friction within each step
    EXPECT_NEAR(m[12], 0.0f, 0.05f);
    EXPECT_NEAR(m[13], restHeight, 0.05f);  // still on the floor
    EXPECT_NEAR(car->getZpos(), m[14], 1e-4);  // the node follows its body
    // The wheels rolled with the distance: about 28.9 / 0.165 radians.
    EXPECT_NEAR(car->getFrontRight()->getXrot(), 28.93 / 0.165 * PI_UNDER_180, 200.0);
    EXPECT_NEAR(car->getFrontLeft()->getXrot(), -car->getFrontRight()->getXrot(), 1.0);
}

TEST_F(PhysicCarMovementTest, ReversesToMinusSevenAndRollsOutInSevenSeconds) {
    press('s');
    world.run(0.5);
    EXPECT_NEAR(movement->speed, -5.0f, 1e-3);
    world.run(1.0);
    EXPECT_EQ(movement->speed, -7.0f);
    EXPECT_GT(pose()[14], 5.0f);  // backwards is +Z
    release('s');
    world.run(6.95);
    EXPECT_LT(movement->speed, 0.0f);
    EXPECT_NEAR(movement->speed, -0.05f, 1e-3);
    world.run(0.1);
    EXPECT_EQ(movement->speed, 0.0f);  // exactly 0, not beyond
    world.run(1.0);
    EXPECT_EQ(movement->speed, 0.0f);
}

TEST_F(PhysicCarMovementTest, StandingCarDoesNotTurnNorShowSteering) {
    press('a');
    world.run(1.0);
    EXPECT_EQ(movement->getHeading(), static_cast<float>(-HALF_PI));
    EXPECT_EQ(car->getFrontLeft()->getYrot(), 0.0f);
    EXPECT_EQ(car->getFrontRight()->getYrot(), 180.0f);
    EXPECT_NEAR(yawOf(pose()), -HALF_PI, 1e-3);
}

TEST_F(PhysicCarMovementTest, TurnRateHalvesAtFullSpeed) {
    movement->speed = 15.0f;
    press('w');
    press('a');
    world.run(0.1);
    // Half of 100 degrees per second at full speed.
    const double rate = 0.5 * 100.0 * PI_OVER_180;
    EXPECT_NEAR(movement->getHeading(), -HALF_PI + rate * 0.1, 1e-5);
    EXPECT_NEAR(car->getFrontLeft()->getYrot(), rate * PI_UNDER_180 / 3.0, 1e-3);  // wheels show a third
    EXPECT_NEAR(car->getFrontRight()->getYrot(), 180.0 + rate * PI_UNDER_180 / 3.0, 1e-3);
    release('a');
    press('d');
    world.run(0.01);
    EXPECT_NEAR(car->getFrontLeft()->getYrot(), -rate * PI_UNDER_180 / 3.0, 1e-3);
}

TEST_F(PhysicCarMovementTest, LeftTurnsLeftForwardAndTheOtherWayInReverse) {
    press('w');
    world.run(1.0);
    press('a');
    world.run(0.5);
    const float forwardTurn = movement->getHeading() - static_cast<float>(-HALF_PI);
    EXPECT_GT(forwardTurn, 0.1f);
    EXPECT_NEAR(yawOf(pose()), movement->getHeading(), 2e-3);  // the body carries the heading
    EXPECT_LT(pose()[12], -0.1f);  // the nose swung to the left (-X) while driving along -Z

    release('a');
    release('w');
    press('s');
    world.run(1.5);  // brake to a standstill and back up
    ASSERT_LT(movement->speed, 0.0f);
    const float before = movement->getHeading();
    press('a');
    world.run(0.5);
    EXPECT_LT(movement->getHeading(), before - 0.1f);  // reversing with 'a' turns the heading down
    EXPECT_GT(car->getFrontLeft()->getYrot(), 0.0f);  // the wheels still show the key: left
    // In reverse the car turns faster than at a standstill rate.
    EXPECT_GT(before - movement->getHeading(), 100.0 * PI_OVER_180 * 0.5);
}

TEST_F(PhysicCarMovementTest, StopStandsTheCarStillAtOnce) {
    press('w');
    press('d');
    world.run(1.0);
    movement->stop();
    EXPECT_EQ(movement->speed, 0.0f);
    EXPECT_FALSE(movement->isAccelerating());
    EXPECT_FALSE(movement->isSteering());
    const Matrix before = pose();
    world.run(0.5);
    const Matrix after = pose();
    EXPECT_NEAR(after[12], before[12], 0.02f);
    EXPECT_NEAR(after[14], before[14], 0.02f);
}

// A heading just below pi turned further up wraps to just above -pi, and the
// car's body keeps turning smoothly through the wrap.
TEST(PhysicCarMovementWrap, HeadingWrapsAtPi) {
    REQUIRE_GL();
    VehicleWorld world;
    auto car = VehicleWorld::playerCar(0.0f, 0.3f, 0.0f);
    // The movement reads its start heading from the car's yaw in degrees.
    car->setRotations(0.0f, static_cast<float>((3.1 + HALF_PI) * PI_UNDER_180), 0.0f);
    auto movement = std::make_shared<PhysicCarMovement>(car);
    ASSERT_NEAR(movement->getHeading(), 3.1f, 1e-5);
    car->setRotations(0.0f, 0.0f, 0.0f);
    car->physicAllocate();
    world.animator.registerAnimation(movement);
    world.run(0.5);
    EXPECT_NEAR(std::atan2(-car->getPhysicVolume()->matrix->m[10], car->getPhysicVolume()->matrix->m[8]), 3.1, 1e-3);

    // At speed 7.5 the rate is 0.75 x 100 degrees per second: 0.1 rad takes 0.0764 s.
    movement->speed = 7.5f;  // half the maximum speed
    movement->setSteerLeft(true);
    const double rate = 0.75 * 100.0 * PI_OVER_180;
    movement->animate(0.1 / rate);  // one frame, looked at before the world steps
    EXPECT_NEAR(movement->getHeading(), 3.2 - TWO_PI, 1e-4);
    Matrix m;
    NewtonBodyGetMatrix(car->getPhysicVolume()->body, m.data());
    EXPECT_NEAR(std::atan2(-m[10], m[8]), 3.2 - TWO_PI, 1e-4);  // the body was turned to it
    EXPECT_NEAR(m[5], 1.0f, 1e-3);
    // Driving along its front, (-cos h, 0, sin h), at the speed less the roll-out.
    float v[3];
    NewtonBodyGetVelocity(car->getPhysicVolume()->body, v);
    const double speed = 7.5 - 0.1 / rate;
    EXPECT_NEAR(v[0], -speed * std::cos(3.2), 1e-3);
    EXPECT_NEAR(v[2], speed * std::sin(3.2), 1e-3);
}

}  // namespace
