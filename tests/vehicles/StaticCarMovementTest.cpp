#include <gtest/gtest.h>

#include <memory>

#include "animation/Animator.h"
#include "support/FakeClock.h"
#include "vehicles/StaticCarMovement.h"

namespace {

class StaticCarMovementTest : public testing::Test {
protected:
    std::shared_ptr<GeometryNode> car = std::make_shared<GeometryNode>("car");
    std::shared_ptr<StaticCarMovement> movement = std::make_shared<StaticCarMovement>(car);
};

TEST_F(StaticCarMovementTest, AccelerateAndBrakeExcludeEachOtherOnlyWhenSet) {
    movement->setBraking(true);
    movement->setAccelerating(true);
    EXPECT_TRUE(movement->isAccelerating());
    EXPECT_FALSE(movement->isBraking());
    movement->setBraking(true);
    EXPECT_FALSE(movement->isAccelerating());
    movement->setAccelerating(false);  // releasing w leaves the brake alone
    EXPECT_TRUE(movement->isBraking());
    movement->setAccelerating(true);
    movement->setBraking(false);
    EXPECT_TRUE(movement->isAccelerating());
}

// Drunk steering: the whole truth table of the two turn setters and the
// inversion switch.
TEST_F(StaticCarMovementTest, InvertedSteeringTruthTable) {
    struct Row {
        bool inverted, pressed, left, right;
    };
    // setSteerLeft(pressed) from both flags clear.
    const Row leftRows[] = {{false, true, true, false},
                            {false, false, false, false},
                            {true, true, false, false},
                            {true, false, true, false}};
    for (const Row& row : leftRows) {
        StaticCarMovement m(car);
        if (row.inverted) m.invertSteering();
        m.setSteerLeft(row.pressed);
        EXPECT_EQ(m.isSteeringLeft(), row.left) << "inverted " << row.inverted << " pressed " << row.pressed;
        EXPECT_EQ(m.isSteeringRight(), row.right);
    }
    const Row rightRows[] = {{false, true, false, true},
                             {false, false, false, false},
                             {true, true, false, false},
                             {true, false, false, true}};
    for (const Row& row : rightRows) {
        StaticCarMovement m(car);
        if (row.inverted) m.invertSteering();
        m.setSteerRight(row.pressed);
        EXPECT_EQ(m.isSteeringLeft(), row.left) << "inverted " << row.inverted << " pressed " << row.pressed;
        EXPECT_EQ(m.isSteeringRight(), row.right);
    }
}

TEST_F(StaticCarMovementTest, InvertingWithoutKeysAndBack) {
    movement->invertSteering();
    EXPECT_TRUE(movement->steeringInverted());
    EXPECT_FALSE(movement->isSteeringLeft());
    EXPECT_FALSE(movement->isSteeringRight());
    movement->invertSteering();
    EXPECT_FALSE(movement->steeringInverted());
    EXPECT_FALSE(movement->isSteeringLeft());
    EXPECT_TRUE(movement->isSteeringRight());
}

TEST_F(StaticCarMovementTest, SwitchingToInvertedKeepsATurnInProgress) {
    movement->setSteerLeft(true);
    movement->invertSteering();
    EXPECT_TRUE(movement->isSteeringLeft());
    EXPECT_FALSE(movement->isSteeringRight());
    // A press of 'a' while inverted clears the flag, its release sets it.
    movement->setSteerLeft(true);
    EXPECT_FALSE(movement->isSteeringLeft());
    movement->setSteerLeft(false);
    EXPECT_TRUE(movement->isSteeringLeft());
    EXPECT_FALSE(movement->isSteeringRight());
}

TEST_F(StaticCarMovementTest, MovesAlongTheFrontAndTurnsWithTheAnimatorsTime) {
    FakeClock clock;
    Animator animator;
    animator.registerAnimation(movement);
    movement->setAccelerating(true);
    clock.advance(0.5);
    animator.animate();
    EXPECT_NEAR(car->getZpos(), -10.0, 1e-4);  // the front is -Z, 20 units per second
    EXPECT_NEAR(car->getXpos(), 0.0, 1e-4);

    movement->setAccelerating(false);
    movement->setSteerLeft(true);
    clock.advance(0.9);
    animator.animate();
    EXPECT_NEAR(car->getYrot(), 90.0, 1e-3);  // 100 degrees per second, to the left
    EXPECT_NEAR(car->getZpos(), -10.0, 1e-4);  // turning alone does not move the car

    movement->setSteerLeft(false);
    movement->setBraking(true);
    clock.advance(0.25);
    animator.animate();
    EXPECT_NEAR(car->getXpos(), 5.0, 1e-3);  // facing -X, backing up goes +X
    EXPECT_NEAR(car->getZpos(), -10.0, 1e-3);
}

}  // namespace
