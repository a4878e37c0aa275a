#include <gtest/gtest.h>

#include <memory>

#include "animation/Animator.h"
#include "animation/Rotor.h"
#include "animation/SimpleCameraMovement.h"
#include "support/FakeClock.h"

namespace {

TEST(Rotor, WrapsIntoPlusMinus180AndOwnsTheRotation) {
    auto node = std::make_shared<GeometryNode>("item");
    node->setRotations(10, 20, 30);
    Rotor rotor(node);
    rotor.speedY = 360.0;
    rotor.animate(0.75);  // 270 degrees turn into -90
    EXPECT_FLOAT_EQ(node->getYrot(), -90.0f);
    EXPECT_FLOAT_EQ(node->getXrot(), 0.0f);  // the earlier rotation is overwritten
    EXPECT_FLOAT_EQ(node->getZrot(), 0.0f);

    Rotor second(node);
    second.speedY = 360.0;
    second.animate(2.5);  // 900 -> 540 -> 180, and 180 itself stays
    EXPECT_FLOAT_EQ(node->getYrot(), 180.0f);
}

TEST(Rotor, NegativeRatesWrapUpAndAxesAreIndependent) {
    auto node = std::make_shared<GeometryNode>("item");
    auto rotor = std::make_shared<Rotor>(node);
    rotor->speedX = -100.0;
    rotor->speedZ = 50.0;
    FakeClock clock;
    Animator animator;
    animator.registerAnimation(rotor);
    for (int i = 0; i < 4; ++i) {
        clock.advance(0.5);
        animator.animate();
    }
    EXPECT_NEAR(node->getXrot(), 160.0f, 1e-3);  // -200 wraps to 160
    EXPECT_NEAR(node->getYrot(), 0.0f, 1e-6);
    EXPECT_NEAR(node->getZrot(), 100.0f, 1e-3);
}

class SimpleCameraMovementTest : public testing::Test {
protected:
    std::shared_ptr<CameraNode> camera = std::make_shared<CameraNode>(nullptr, "free camera");
    SimpleCameraMovement movement{camera};
};

TEST_F(SimpleCameraMovementTest, YawWrapsPast360BothWays) {
    camera->camRotY = 350.0f;
    movement.setRotateLeft(true);
    movement.animate(20.0 / 60.0);
    EXPECT_NEAR(camera->camRotY, 10.0f, 1e-4);

    movement.stop();
    camera->camRotY = -350.0f;
    movement.setRotateRight(true);
    movement.animate(20.0 / 60.0);
    EXPECT_NEAR(camera->camRotY, -10.0f, 1e-4);
}

TEST_F(SimpleCameraMovementTest, FlightFollowsTheYawAndOppositeSwitchesCancel) {
    movement.setForward(true);
    movement.animate(0.5);
    EXPECT_NEAR(camera->transZ, -10.0f, 1e-5);
    EXPECT_NEAR(camera->transX, 0.0f, 1e-5);

    camera->camRotY = 90.0f;
    movement.animate(0.25);
    EXPECT_NEAR(camera->transX, -5.0f, 1e-5);
    EXPECT_NEAR(camera->transZ, -10.0f, 1e-5);

    movement.setBackward(true);
    movement.animate(1.0);
    EXPECT_NEAR(camera->transX, -5.0f, 1e-5);
    EXPECT_NEAR(camera->transZ, -10.0f, 1e-5);

    movement.stop();
    movement.animate(1.0);
    EXPECT_NEAR(camera->transX, -5.0f, 1e-5);
    EXPECT_EQ(camera->transY, 0.0f);  // the flight stays on the ground plane
}

}  // namespace
