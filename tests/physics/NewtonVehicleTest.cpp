// The vehicle joint of the Newton-style interface: a four-tire car on a real
// world rests on its suspension, drives, steers and brakes.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "NewtonTestSupport.h"

using namespace newton_test;

namespace {

constexpr float RADIUS = 0.3f;
constexpr float MASS = 200.0f;

// What the tire callback hands to the tires of one car.
struct Controls {
    float torque = 0;
    float steer = 0;
    bool brake = false;
};
std::map<NewtonJoint*, Controls> controls;

void tireUpdate(NewtonJoint* vehicle) {
    const Controls& c = controls[vehicle];
    for (void* tire = NewtonVehicleGetFirstTireID(vehicle); tire; tire = NewtonVehicleGetNextTireID(vehicle, tire)) {
        bool front = NewtonVehicleGetTireUserData(vehicle, tire) != nullptr;
        if (front) {
            NewtonVehicleSetTireSteerAngle(vehicle, tire, c.steer);
        } else {
            NewtonVehicleSetTireTorque(vehicle, tire, c.torque);
            if (c.brake) {
                float stop = NewtonVehicleTireCalculateMaxBrakeAcceleration(vehicle, tire);
                NewtonVehicleTireSetBrakeAcceleration(vehicle, tire, stop, 10000.0f);
            }
        }
    }
}

// A 2 x 0.5 x 1 chassis, forward along +X, with four tires under its corners
// (front tires carry non-null user data).
struct Car {
    Car(TestWorld& w, float x, float z) {
        body = w.box(2.0f, 0.5f, 1.0f, translation(x, 1.0f, z), 0);
        const float up[3] = {0, 1, 0};
        joint = NewtonConstraintCreateVehicle(w.world, up, body);
        NewtonVehicleSetTireCallback(joint, tireUpdate);
        NewtonBodySetLinearDamping(body, 0.0f);
        static int frontMark;
        float k = 9.8f * MASS * 1000.0f;
        const float pin[3] = {0, 0, 1};
        const float mounts[4][2] = {{0.7f, -0.5f}, {0.7f, 0.5f}, {-0.7f, -0.5f}, {-0.7f, 0.5f}};
        for (int i = 0; i < 4; ++i) {
            Matrix16 local = yawed(-HALF_PI, mounts[i][0], -0.25f, mounts[i][1]);
            void* data = i < 2 ? &frontMark : nullptr;
            tires[i] = NewtonVehicleAddTire(joint, local.data(), pin, 5.0f, 0.25f, RADIUS, 2.0f * std::sqrt(k), k,
                                            0.001f, data, 256);
        }
        NewtonBodySetMassMatrix(body, MASS, 0, 0, 0);
        NewtonBodySetForceAndTorqueCallback(body, gravity);
        controls[joint] = Controls();
    }

    float speed() const {
        float v[3];
        NewtonBodyGetVelocity(body, v);
        return std::sqrt(v[0] * v[0] + v[2] * v[2]);
    }

    NewtonBody* body;
    NewtonJoint* joint;
    void* tires[4];
};

class NewtonVehicleTest : public ::testing::Test {
protected:
    void SetUp() override { w.floor(); }
    void TearDown() override { controls.clear(); }
    TestWorld w;
};

TEST_F(NewtonVehicleTest, CarRestsOnItsSuspension) {
    Car car(w, 0, 0);
    w.run(2.0f);
    Matrix16 m = matrixOf(car.body);
    EXPECT_NEAR(m[13], RADIUS + 0.25f, 0.01f);  // tire radius plus the mounts' depth below the origin
    EXPECT_NEAR(m[5], 1.0f, 1e-3f);             // level
    EXPECT_NEAR(m[12], 0.0f, 0.01f);
    EXPECT_LT(car.speed(), 0.01f);

    // Each tire hangs at its mount, its centre one radius above the ground.
    Matrix16 tire;
    NewtonVehicleGetTireMatrix(car.joint, car.tires[0], tire.data());
    EXPECT_NEAR(tire[12], 0.7f, 0.01f);
    EXPECT_NEAR(tire[13], RADIUS, 0.01f);
    EXPECT_NEAR(tire[14], -0.5f, 0.01f);
    EXPECT_NEAR(tire[10], 0.0f, 1e-3f);  // the tire model's X axis lies along the axle (Z)
}

TEST_F(NewtonVehicleTest, TorqueDrivesTheCarForwardAndTurnsTheTires) {
    Car car(w, 0, 0);
    w.run(1.0f);
    Matrix16 tireBefore;
    NewtonVehicleGetTireMatrix(car.joint, car.tires[2], tireBefore.data());

    controls[car.joint].torque = 100.0f;
    w.run(2.0f);

    Matrix16 m = matrixOf(car.body);
    float v[3];
    NewtonBodyGetVelocity(car.body, v);
    EXPECT_GT(v[0], 3.0f);  // about 3.3 m/s^2 for two seconds
    EXPECT_GT(m[12], 3.0f);
    EXPECT_NEAR(m[14], 0.0f, 0.05f);
    EXPECT_NEAR(m[13], RADIUS + 0.25f, 0.02f);
    EXPECT_GT(NewtonVehicleGetTireLongitudinalSpeed(car.joint, car.tires[2]), 3.0f);

    Matrix16 tireAfter;
    NewtonVehicleGetTireMatrix(car.joint, car.tires[2], tireAfter.data());
    EXPECT_GT(std::fabs(tireAfter[1] - tireBefore[1]) + std::fabs(tireAfter[5] - tireBefore[5]), 0.05f);

    controls[car.joint].torque = -100.0f;
    w.run(4.0f);
    NewtonBodyGetVelocity(car.body, v);
    EXPECT_LT(v[0], 0.0f);  // negative torque brakes and reverses
}

TEST_F(NewtonVehicleTest, PositiveSteerAngleTurnsLeft) {
    Car car(w, 0, 0);
    w.run(1.0f);
    controls[car.joint].torque = 100.0f;
    controls[car.joint].steer = 0.3f;
    w.run(2.0f);
    Matrix16 m = matrixOf(car.body);
    float yaw = std::atan2(-m[2], m[0]);  // counter-clockwise seen from above
    EXPECT_GT(yaw, 0.2f);
    EXPECT_LT(m[14], -0.3f);  // forward is +X; a left turn heads towards -Z
    EXPECT_FLOAT_EQ(NewtonVehicleGetTireSteerAngle(car.joint, car.tires[0]), 0.3f);
}

TEST_F(NewtonVehicleTest, BrakesStopTheCarFasterThanCoasting) {
    Car braking(w, 0, -5);
    Car coasting(w, 0, 5);
    w.run(1.0f);
    controls[braking.joint].torque = controls[coasting.joint].torque = 100.0f;
    w.run(2.0f);
    float start = braking.speed();
    ASSERT_GT(start, 3.0f);

    controls[braking.joint].torque = controls[coasting.joint].torque = 0.0f;
    controls[braking.joint].brake = true;
    w.run(1.0f);

    EXPECT_LT(braking.speed(), 0.5f * start);
    EXPECT_LT(braking.speed(), 0.5f * coasting.speed());
}

TEST_F(NewtonVehicleTest, TireIterationVisitsEveryTireOnce) {
    Car car(w, 0, 0);
    int count = 0;
    for (void* tire = NewtonVehicleGetFirstTireID(car.joint); tire;
         tire = NewtonVehicleGetNextTireID(car.joint, tire)) {
        EXPECT_EQ(tire, car.tires[count]);
        ++count;
    }
    EXPECT_EQ(count, 4);
    int unknown;
    testing::internal::CaptureStdout();
    EXPECT_EQ(NewtonVehicleGetTireUserData(car.joint, &unknown), nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n NewtonVehicleGetTireUserData(): WARNING! unknown tire"), std::string::npos);
}

// A world with bodies of every kind, compounds, a tree and a vehicle is
// destroyed whole; LeakSanitizer checks at exit that nothing of it is left.
TEST(NewtonWorldLifetime, DestroyFreesBodiesCompoundsTreesAndVehicles) {
    for (int round = 0; round < 3; ++round) {
        TestWorld w;
        NewtonCollision* tree = NewtonCreateTreeCollision(w.world, nullptr);
        NewtonTreeCollisionBeginBuild(tree);
        const float face[9] = {-50, 0, -50, -50, 0, 50, 50, 0, 0};
        NewtonTreeCollisionAddFace(tree, 3, face, 12, 1);
        NewtonTreeCollisionEndBuild(tree, 0);
        w.body(tree, translation(0, 0, 0), 0);
        NewtonCollision* parts[2] = {NewtonCreateCapsule(w.world, 0.2f, 1.0f, nullptr),
                                     NewtonCreateSphere(w.world, 0.3f, 0.4f, 0.5f, nullptr)};
        NewtonCollision* compound = NewtonCreateCompoundCollision(w.world, 2, parts);
        NewtonCollision* nested = NewtonCreateCompoundCollision(w.world, 1, &compound);
        w.body(compound, translation(3, 2, 0), 1.0f);
        w.body(nested, translation(-3, 2, 0), 1.0f);
        const float com[3] = {0, -0.1f, 0};
        NewtonBodySetCentreOfMass(w.box(1, 1, 1, translation(0, 3, 3), 1.0f), com);
        Car car(w, 0, -3);
        NewtonCollision* unreleased = NewtonCreateBox(w.world, 1, 1, 1, nullptr);  // the world frees it
        (void)unreleased;
        (void)parts;
        controls[car.joint].torque = 50.0f;
        w.run(0.5f);
        controls.clear();
    }
}

}  // namespace
