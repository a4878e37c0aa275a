#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "CarModels.h"
#include "VehicleWorld.h"
#include "math/Constants.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"
#include "vehicles/CarNode.h"

namespace {

// A car on the vehicle joint in a world with a flat floor. The joint drives
// along the car's X axis, so the body model's front is +X here. The tire
// model is 0.33 across; the joint takes the larger of its height and length
// as the tire radius.
class CarNodeTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        ASSERT_FALSE(folder.path().empty());
        dir = folder.path();
        CarModels::writeBox(dir + "/body.txt", -0.8f, 0.1f, -0.3f, 0.7f, 0.6f, 0.3f);
        CarModels::writeBox(dir + "/tire.txt", -0.065f, -0.165f, -0.165f, 0.065f, 0.165f, 0.165f);
        car = std::make_shared<CarNode>(root, "test vehicle");
        car->setTranslation(0.0f, 0.6f, 0.0f);
        rootChildren = root->getChildren().size();
        loaded = car->load(dir, "body.txt", "tire.txt", offsets);
        root->addChild(car);
        root->physicAllocate();
    }

    NewtonBody* body() const { return car->getPhysicVolume()->body; }
    Matrix pose() const {
        Matrix m;
        NewtonBodyGetMatrix(body(), m.data());
        return m;
    }
    void setVelocity(float vx) {
        const float v[3] = {vx, 0.0f, 0.0f};
        NewtonBodySetVelocity(body(), v);
    }

    VehicleWorld world;
    TempFolder folder{"cars"};  // removed with the fixture
    std::string dir;
    std::shared_ptr<RootNode> root = std::make_shared<RootNode>("root");
    std::shared_ptr<CarNode> car;
    bool loaded = false;
    size_t rootChildren = 0;
    const CarNode::TireOffsets offsets = {Vector(0.55, 0.165, -0.3), Vector(0.55, 0.165, 0.3),
                                          Vector(-0.5, 0.165, -0.3), Vector(-0.5, 0.165, 0.3)};
};

TEST_F(CarNodeTest, LoadBuildsChassisJointAndFourTiresUnderTheRoot) {
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(car->getPhysicVolume()->hasLiveBody());
    ASSERT_NE(car->getVehicleJoint(), nullptr);
    float mass, ixx, iyy, izz;
    NewtonBodyGetMassMatrix(body(), &mass, &ixx, &iyy, &izz);
    EXPECT_FLOAT_EQ(mass, 200.0f);

    int tires = 0;
    for (void* id = NewtonVehicleGetFirstTireID(car->getVehicleJoint()); id;
         id = NewtonVehicleGetNextTireID(car->getVehicleJoint(), id))
        ++tires;
    EXPECT_EQ(tires, 4);
    const std::shared_ptr<CarNode::CarTire> all[4] = {car->getFrontLeft(), car->getFrontRight(), car->getRearLeft(),
                                                      car->getRearRight()};
    for (const auto& tire : all) {
        EXPECT_NEAR(tire->width, 0.13f, 1e-5);
        EXPECT_NEAR(tire->radius, 0.33f, 1e-5);
        EXPECT_TRUE(tire->model->getPhysicVolume()->noBody);
        EXPECT_FALSE(tire->model->useOwnTransform);
    }
    EXPECT_STREQ(car->getRearRight()->model->getNodeDescription(), "car tire RR");
    // Mounted just below its offset, the model's axle turned onto the car's Z axis.
    const Matrix& fl = *car->getFrontLeft()->matrix;
    EXPECT_NEAR(fl[12], 0.55f, 1e-6);
    EXPECT_NEAR(fl[13], 0.165f - 0.00025f, 1e-6);
    EXPECT_NEAR(fl[14], -0.3f, 1e-6);
    EXPECT_NEAR(fl[2], 1.0f, 1e-6);  // model X -> car Z
    // New root children: the four tire models and the car (added last, so first).
    EXPECT_EQ(root->getChildren().size(), rootChildren + 5);
    EXPECT_EQ(root->getChildren().front(), car);
}

TEST_F(CarNodeTest, RestsOnItsSuspension) {
    world.run(2.0);
    const Matrix m = pose();
    float v[3];
    NewtonBodyGetVelocity(body(), v);
    EXPECT_LT(std::fabs(v[1]), 0.05f);
    EXPECT_LT(std::fabs(car->getSpeed()), 0.05f);
    // The wheels (0.33 in radius at 0.165 below the body) carry the body:
    // its bottom (0.1 above its origin) stays clear of the floor.
    EXPECT_GT(m[13] + 0.1f, 0.2f);
    EXPECT_NEAR(m[13], 0.165f, 0.05f);
    EXPECT_NEAR(m[5], 1.0f, 1e-3);  // level
    // Each tire model stands where the joint has its wheel: on the floor.
    const std::shared_ptr<CarNode::CarTire> corners[2] = {car->getFrontLeft(), car->getRearRight()};
    for (const auto& tire : corners) {
        const Matrix& t = *tire->model->getPhysicVolume()->matrix;
        EXPECT_NEAR(t[13], 0.33f, 0.03f);
        EXPECT_NEAR(t[12], m[12] + tire->matrix->m[12], 0.01f);
        EXPECT_NEAR(t[14], m[14] + tire->matrix->m[14], 0.01f);
    }
}

TEST_F(CarNodeTest, TorqueDrivesForwardAlongXAndSteeringTurnsIt) {
    world.run(1.0);
    car->setTireTorque(1.0f);
    world.run(2.0);
    EXPECT_GT(car->getSpeed(), 0.5f);
    Matrix m = pose();
    EXPECT_GT(m[12], 0.5f);
    // Straight ahead, give or take the pull of the centre of mass, which
    // sits a little towards -Z.
    EXPECT_LT(std::fabs(m[14]), 0.2f * m[12]);
    EXPECT_NEAR(m[5], 1.0f, 0.02f);  // still on its wheels
    EXPECT_GT(car->getFrontLeft()->model->getPhysicVolume()->matrix->m[12], m[12]);  // tires travel along

    car->setSteering(1.0f);
    world.run(1.5);
    m = pose();
    // A positive steer turns the car counter-clockwise seen from above: its
    // X axis swings towards -Z.
    EXPECT_LT(m[2], -0.05f);
    EXPECT_LT(m[14], -0.05f);
}

TEST_F(CarNodeTest, HandbrakeSlowsTheCarFarMoreThanRollingOut) {
    world.run(1.0);
    car->setTireTorque(1.0f);
    world.run(2.0);
    car->setTireTorque(0.0f);
    const float cruising = car->getSpeed();
    ASSERT_GT(cruising, 0.5f);
    world.run(1.0);
    const float rolledOut = cruising - car->getSpeed();

    car->setTireTorque(1.0f);
    world.run(1.0);
    car->setTireTorque(0.0f);
    const float again = car->getSpeed();
    car->setApplyHandbrakes(1.0f);
    world.run(1.0);
    const float braked = again - car->getSpeed();
    EXPECT_GT(braked, 0.4f * again);
    EXPECT_GT(braked, 3.0f * rolledOut);
    EXPECT_FLOAT_EQ(car->getRearLeft()->getBrakes(), 1.0f);  // kept while pulled
}

TEST_F(CarNodeTest, SteeringLockShrinksWithSpeed) {
    const float full = static_cast<float>(30.0 * PI_OVER_180);
    car->setSteering(1.0f);
    EXPECT_NEAR(car->getFrontLeft()->getSteer(), 0.5236f, 1e-4);
    EXPECT_FLOAT_EQ(car->getFrontRight()->getSteer(), full);
    car->setSteering(-1.0f);
    EXPECT_FLOAT_EQ(car->getFrontLeft()->getSteer(), -full);
    car->setSteering(0.0f);
    EXPECT_FLOAT_EQ(car->getFrontLeft()->getSteer(), 0.0f);
    setVelocity(2.0f);
    car->setSteering(1.0f);
    EXPECT_NEAR(car->getFrontLeft()->getSteer(), full * 0.6f, 1e-5);
    setVelocity(-4.5f);  // backwards counts the same
    car->setSteering(1.0f);
    EXPECT_NEAR(car->getFrontLeft()->getSteer(), full * 0.1f, 1e-5);
    setVelocity(30.0f);
    car->setSteering(-1.0f);
    EXPECT_NEAR(car->getFrontRight()->getSteer(), -full * 0.1f, 1e-5);
}

TEST_F(CarNodeTest, TorqueFallsWithSpeedAndHalvesInReverse) {
    car->setTireTorque(1.0f);
    EXPECT_FLOAT_EQ(car->getRearLeft()->getTorque(), 100.0f);
    car->setTireTorque(-1.0f);
    EXPECT_FLOAT_EQ(car->getRearRight()->getTorque(), -50.0f);
    car->setTireTorque(0.0f);
    EXPECT_FLOAT_EQ(car->getRearRight()->getTorque(), 0.0f);
    setVelocity(100.0f);
    EXPECT_FLOAT_EQ(car->getSpeed(), 100.0f);
    car->setTireTorque(1.0f);
    EXPECT_FLOAT_EQ(car->getRearLeft()->getTorque(), 50.0f);
    car->setTireTorque(-1.0f);
    EXPECT_FLOAT_EQ(car->getRearLeft()->getTorque(), -25.0f);
}

TEST_F(CarNodeTest, TireCallbackEasesSteeringAndClearsNegativeBrakes) {
    car->setSteering(1.0f);
    car->setApplyHandbrakes(-1.0f);
    world.run(0.01);  // one step, one tire callback
    void* first = NewtonVehicleGetFirstTireID(car->getVehicleJoint());
    ASSERT_EQ(NewtonVehicleGetTireUserData(car->getVehicleJoint(), first), car->getFrontLeft().get());
    EXPECT_NEAR(NewtonVehicleGetTireSteerAngle(car->getVehicleJoint(), first), 0.035f * 0.5236f, 1e-5);
    EXPECT_EQ(car->getRearLeft()->getBrakes(), 0.0f);
    EXPECT_EQ(car->getRearRight()->getBrakes(), 0.0f);
    world.run(1.0);  // 3.5 % of the rest per step: close to the target after 100 steps
    EXPECT_NEAR(NewtonVehicleGetTireSteerAngle(car->getVehicleJoint(), first), 0.5236f, 0.02f);
}

TEST_F(CarNodeTest, TireModelsMoveOnlyWithTheJoint) {
    world.run(0.5);
    const Matrix before = *car->getRearLeft()->model->getPhysicVolume()->matrix;
    car->setTranslation(10.0f, 0.0f, 10.0f);  // the node alone: the tires stay
    EXPECT_EQ(car->getRearLeft()->model->getPhysicVolume()->matrix->m[12], before[12]);
    EXPECT_EQ(car->getRearLeft()->model->getPhysicVolume()->matrix->m[14], before[14]);
    // Teleporting the body moves them with the next step.
    Matrix moved = pose();
    moved[12] += 5.0f;
    NewtonBodySetMatrix(body(), moved.data());
    world.run(0.01);
    EXPECT_NEAR(car->getRearLeft()->model->getPhysicVolume()->matrix->m[12], before[12] + 5.0f, 0.05f);
}

TEST_F(CarNodeTest, UnknownTireLabelIsReportedAndStillAdded) {
    CarNode::FrontTire extra;
    EXPECT_TRUE(extra.setup(car.get(), "XX", dir, "tire.txt", offsets));
    EXPECT_FLOAT_EQ(extra.matrix->m[12], 0.0f);  // the matrix is not placed
    EXPECT_FLOAT_EQ(extra.matrix->m[13], -0.00025f);
    int tires = 0;
    for (void* id = NewtonVehicleGetFirstTireID(car->getVehicleJoint()); id;
         id = NewtonVehicleGetNextTireID(car->getVehicleJoint(), id))
        ++tires;
    EXPECT_EQ(tires, 5);
    // The extra tire dies with this test; the joint must not call it anymore.
    NewtonVehicleSetTireCallback(car->getVehicleJoint(), nullptr);
}

}  // namespace
