#include <gtest/gtest.h>

#include <memory>

#include "input/KeyboardProcessor.h"
#include "vehicles/CarControl.h"
#include "vehicles/StaticCarMovement.h"

namespace {

// The keys travel the real way: GLUT callback entry points of the dispatcher.
class CarControlTest : public testing::Test {
protected:
    void SetUp() override {
        KeyboardProcessor::reset();
        car = std::make_shared<GeometryNode>("car");
        movement = std::make_shared<StaticCarMovement>(car);
        control = std::make_shared<CarControl>(movement);
        KeyboardProcessor::registerConsumer(control);
    }
    void TearDown() override { KeyboardProcessor::reset(); }

    static void down(char key) { KeyboardProcessor::processDown(static_cast<unsigned char>(key), 0, 0); }
    static void up(char key) { KeyboardProcessor::processUp(static_cast<unsigned char>(key), 0, 0); }

    std::shared_ptr<GeometryNode> car;
    std::shared_ptr<StaticCarMovement> movement;
    std::shared_ptr<CarControl> control;
};

TEST_F(CarControlTest, WasdPressAndReleaseDriveTheFourFlags) {
    down('w');
    EXPECT_TRUE(movement->isAccelerating());
    down('s');
    EXPECT_TRUE(movement->isBraking());
    EXPECT_FALSE(movement->isAccelerating());  // braking wins over the held w
    up('s');
    EXPECT_FALSE(movement->isBraking());
    down('a');
    EXPECT_TRUE(movement->isSteeringLeft());
    down('d');
    EXPECT_TRUE(movement->isSteeringRight());
    EXPECT_FALSE(movement->isSteeringLeft());
    up('d');
    EXPECT_FALSE(movement->isSteering());
    EXPECT_EQ(control->getCarMovement(), movement);
}

TEST_F(CarControlTest, DisabledIgnoresPressesButTakesReleases) {
    down('w');
    down('a');
    control->enabled = false;
    down('s');
    down('d');
    EXPECT_TRUE(movement->isAccelerating());
    EXPECT_FALSE(movement->isBraking());
    EXPECT_TRUE(movement->isSteeringLeft());
    EXPECT_FALSE(movement->isSteeringRight());
    // Keys let go while the control is off must not stick afterwards.
    up('w');
    up('a');
    EXPECT_FALSE(movement->isAccelerating());
    EXPECT_FALSE(movement->isSteering());
    control->enabled = true;
    down('s');
    EXPECT_TRUE(movement->isBraking());
}

TEST_F(CarControlTest, UpperCaseKeysAreOtherKeys) {
    for (char key : {'W', 'A', 'S', 'D'}) {
        EXPECT_FALSE(control->consumesKey(static_cast<byte>(key))) << key;
        down(key);
    }
    EXPECT_FALSE(movement->isAccelerating());
    EXPECT_FALSE(movement->isBraking());
    EXPECT_FALSE(movement->isSteering());
    // Even handed to the control directly, they do nothing.
    down('w');
    down('a');
    control->consumeUp('W', 0, 0);
    control->consumeUp('A', 0, 0);
    EXPECT_TRUE(movement->isAccelerating());
    EXPECT_TRUE(movement->isSteeringLeft());
}

}  // namespace
