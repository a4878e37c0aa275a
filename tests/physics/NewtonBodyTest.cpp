// Bodies of the Newton-style interface: poses, mass, centre of mass, and
// what happens with bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "NewtonTestSupport.h"

using namespace newton_test;

namespace {

class NewtonBodyTest : public ::testing::Test {
protected:
    // Every body's pose and velocity is finite.
    void expectAllFinite(std::initializer_list<NewtonBody*> bodies) {
        for (NewtonBody* body : bodies) {
            Matrix16 m = matrixOf(body);
            for (float value : m) EXPECT_TRUE(std::isfinite(value));
            float v[3];
            NewtonBodyGetVelocity(body, v);
            for (float value : v) EXPECT_TRUE(std::isfinite(value));
        }
    }

    TestWorld w;
};

TEST_F(NewtonBodyTest, SetMatrixTeleportsAndDropsScale) {
    NewtonBody* body = w.box(1, 1, 1, translation(0, 0, 0), 1.0f);
    Matrix16 scaled = yawed(0.5f, 1, 2, 3);
    for (int i = 0; i < 3; ++i) scaled[i] *= 2.0f;  // x axis scaled by 2
    for (int i = 8; i < 11; ++i) scaled[i] *= 3.0f;
    NewtonBodySetMatrix(body, scaled.data());
    Matrix16 expected = yawed(0.5f, 1, 2, 3);
    Matrix16 m = matrixOf(body);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-5f) << "element " << i;
}

TEST_F(NewtonBodyTest, BodyIsStaticUntilItGetsMass) {
    NewtonBody* body = NewtonCreateBody(w.world, NewtonCreateBox(w.world, 1, 1, 1, nullptr));
    NewtonBodySetMatrix(body, translation(0, 5, 0).data());
    NewtonBodySetForceAndTorqueCallback(body, gravity);
    w.run(0.5f);
    EXPECT_FLOAT_EQ(matrixOf(body)[13], 5.0f);

    NewtonBodySetMassMatrix(body, 20.0f, 0, 0, 0);
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(body, &mass, &ix, &iy, &iz);
    EXPECT_EQ(mass, 20.0f);
    EXPECT_NEAR(ix, 20.0f / 6.0f, 1e-3f);  // derived from the unit box: m (1 + 1) / 12
    w.run(0.5f);
    EXPECT_LT(matrixOf(body)[13], 4.0f);

    NewtonBodySetMassMatrix(body, 0.0f, 0, 0, 0);  // static again: stops where it is
    float y = matrixOf(body)[13];
    w.run(0.5f);
    EXPECT_FLOAT_EQ(matrixOf(body)[13], y);
}

TEST_F(NewtonBodyTest, VelocityAndOmegaMoveTheBody) {
    NewtonBody* body = w.box(1, 1, 1, translation(0, 0, 0), 1.0f);
    NewtonBodySetForceAndTorqueCallback(body, nullptr);
    NewtonBodySetLinearDamping(body, 0.0f);
    const float velocity[3] = {2, 0, 0};
    const float omega[3] = {0, 1, 0};
    NewtonBodySetVelocity(body, velocity);
    NewtonBodySetOmega(body, omega);
    w.run(1.0f);
    Matrix16 m = matrixOf(body);
    EXPECT_NEAR(m[12], 2.0f, 0.01f);
    EXPECT_NEAR(std::atan2(-m[2], m[0]), 0.9f, 0.1f);  // about one radian, less the default angular drag
}

TEST_F(NewtonBodyTest, CentreOfMassChangesTippingButNotTheReportedPose) {
    // A ledge whose edge is at x = 0 and two planks reaching half over it.
    w.box(10, 1, 10, translation(-5, -0.5f, 0), 0);
    NewtonBody* kept = w.box(2, 0.2f, 1, translation(0, 0.1f, -3), 1.0f);
    NewtonBody* tipping = w.box(2, 0.2f, 1, translation(0, 0.1f, 3), 1.0f);

    Matrix16 before = matrixOf(kept);
    const float overLedge[3] = {-0.5f, 0, 0};
    const float overVoid[3] = {0.5f, 0, 0};
    NewtonBodySetCentreOfMass(kept, overLedge);
    NewtonBodySetCentreOfMass(tipping, overVoid);
    EXPECT_EQ(matrixOf(kept), before);  // setting it moves nothing

    w.run(2.0f);

    Matrix16 k = matrixOf(kept);
    EXPECT_NEAR(k[12], 0.0f, 0.02f);
    EXPECT_NEAR(k[13], 0.1f, 0.02f);
    EXPECT_NEAR(k[0], 1.0f, 1e-3f);
    EXPECT_LT(matrixOf(tipping)[13], -1.0f);  // fell off the edge
}

TEST_F(NewtonBodyTest, CentreOfMassIsWhereGravityActs) {
    // A free-falling body with an offset centre of mass does not start to turn.
    NewtonBody* body = w.box(2, 1, 1, translation(0, 10, 0), 1.0f);
    const float com[3] = {0.8f, 0, 0};
    NewtonBodySetCentreOfMass(body, com);
    w.run(0.5f);
    Matrix16 m = matrixOf(body);
    EXPECT_NEAR(m[0], 1.0f, 1e-4f);
    EXPECT_NEAR(m[12], 0.0f, 1e-4f);
}

TEST_F(NewtonBodyTest, ZeroAndNegativeSizesGiveUsableShapes) {
    w.floor();
    testing::internal::CaptureStdout();
    NewtonBody* nothing = w.box(0, 0, 0, translation(-4, 2, 0), 1.0f);
    NewtonBody* flat = w.box(1, 0, 1, translation(0, 0, 4), 0);  // a static plate at y = 0
    NewtonBody* negative = w.box(-1, -1, -1, translation(4, 2, 0), 1.0f);
    NewtonBody* ballNone = w.body(NewtonCreateSphere(w.world, 0, 0, 0, nullptr), translation(8, 2, 0), 1.0f);
    NewtonBody* capsuleNone = w.body(NewtonCreateCapsule(w.world, 0, -2, nullptr), translation(12, 2, 0), 1.0f);
    NewtonBody* onPlate = w.box(0.4f, 0.4f, 0.4f, translation(0, 5, 4), 1.0f);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n NewtonCreateBox(): WARNING! invalid size -1"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonCreateCapsule(): WARNING! invalid size -2"), std::string::npos);
    EXPECT_EQ(out.find("NewtonCreateSphere"), std::string::npos);  // zero is not an error

    w.run(3.0f);

    EXPECT_LT(matrixOf(nothing)[13], -5.0f);       // no volume: falls through
    EXPECT_NEAR(matrixOf(negative)[13], 0.5f, 0.02f);  // taken as a unit box
    EXPECT_LT(matrixOf(ballNone)[13], -5.0f);
    EXPECT_NEAR(matrixOf(onPlate)[13], 0.2f + 0.01f, 0.02f);  // the plate keeps a thin thickness
    EXPECT_EQ(faceExtent(nothing).faces, 0);
    expectAllFinite({nothing, flat, negative, ballNone, capsuleNone, onPlate});
}

TEST_F(NewtonBodyTest, CompoundOfNoPartsAndTreeWithoutFacesCollideWithNothing) {
    testing::internal::CaptureStdout();
    NewtonCollision* none = NewtonCreateCompoundCollision(w.world, 0, nullptr);
    NewtonCollision* tree = NewtonCreateTreeCollision(w.world, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    NewtonTreeCollisionEndBuild(tree, 0);
    NewtonBody* ground = w.body(tree, translation(0, 0, 0), 0);
    NewtonBody* body = w.body(none, translation(0, 2, 0), 1.0f);
    NewtonBody* box = w.box(1, 1, 1, translation(0, 5, 0), 1.0f);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n NewtonCreateCompoundCollision(): WARNING! compound of 0 parts"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonTreeCollisionEndBuild(): WARNING! collision tree without faces"), std::string::npos);

    w.run(2.0f);

    EXPECT_LT(matrixOf(box)[13], -5.0f);
    EXPECT_EQ(faceExtent(ground).faces, 0);
    expectAllFinite({ground, body, box});
}

TEST_F(NewtonBodyTest, BadFacesAreLeftOutOfATree) {
    NewtonCollision* tree = NewtonCreateTreeCollision(w.world, nullptr);
    testing::internal::CaptureStdout();
    const float flat[9] = {-5, 0, -5, -5, 0, 5, 5, 0, 0};
    NewtonTreeCollisionAddFace(tree, 3, flat, 12, 1);  // before BeginBuild
    NewtonTreeCollisionBeginBuild(tree);
    const float withNan[9] = {0, 0, 0, 1, std::nanf(""), 0, 0, 0, 1};
    NewtonTreeCollisionAddFace(tree, 3, withNan, 12, 1);
    NewtonTreeCollisionAddFace(tree, 2, flat, 12, 1);
    NewtonTreeCollisionAddFace(tree, 3, flat, 4, 1);
    NewtonTreeCollisionAddFace(tree, 3, flat, 12, 1);
    NewtonTreeCollisionEndBuild(tree, 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("outside BeginBuild/EndBuild"), std::string::npos);
    EXPECT_NE(out.find("invalid vertex"), std::string::npos);
    NewtonBody* ground = w.body(tree, translation(0, 0, 0), 0);
    EXPECT_EQ(faceExtent(ground).faces, 1);
}

TEST_F(NewtonBodyTest, NanInputIsRejectedAndDoesNotSpread) {
    w.floor();
    NewtonBody* a = w.box(1, 1, 1, translation(0, 0.5f, 0), 1.0f);
    NewtonBody* b = w.box(1, 1, 1, translation(0, 1.5f, 0), 1.0f);  // stacked on a
    float nan = std::nanf("");
    Matrix16 bad = translation(0, nan, 0);
    const float badVector[3] = {nan, 0, 0};
    const float infinite[3] = {0, INFINITY, 0};

    testing::internal::CaptureStdout();
    NewtonBodySetMatrix(a, bad.data());
    NewtonBodySetVelocity(a, badVector);
    NewtonBodySetOmega(a, infinite);
    NewtonBodySetCentreOfMass(a, badVector);
    NewtonBodySetMassMatrix(a, nan, 1, 1, 1);
    NewtonBodySetMassMatrix(b, -3, 1, 1, 1);
    NewtonBodySetForceAndTorqueCallback(b, [](NewtonBody* body) {
        const float force[3] = {0, std::nanf(""), 0};
        NewtonBodySetForce(body, force);
        gravity(body);
    });
    Matrix16 badOffset = translation(nan, 0, 0);
    NewtonCollision* shape = NewtonCreateBox(w.world, 1, 1, 1, badOffset.data());
    NewtonReleaseCollision(w.world, shape);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n NewtonBodySetMatrix(): WARNING! invalid matrix ignored"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonBodySetVelocity(): WARNING!"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonBodySetOmega(): WARNING!"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonBodySetMassMatrix(): WARNING! invalid mass"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonCreateBox(): WARNING! invalid offset matrix"), std::string::npos);

    testing::internal::CaptureStdout();
    w.run(1.0f);
    testing::internal::GetCapturedStdout();

    expectAllFinite({a, b});
    EXPECT_NEAR(matrixOf(a)[13], 0.5f, 0.02f);
    EXPECT_NEAR(matrixOf(b)[13], 1.5f, 0.02f);
}

TEST_F(NewtonBodyTest, NullHandlesAreReportedNotFollowed) {
    testing::internal::CaptureStdout();
    float m[16] = {};
    NewtonBodySetMatrix(nullptr, m);
    NewtonBodyGetMatrix(nullptr, m);
    NewtonBodySetMassMatrix(nullptr, 1, 1, 1, 1);
    NewtonUpdate(nullptr, 0.01f);
    EXPECT_EQ(NewtonCreateBox(nullptr, 1, 1, 1, nullptr), nullptr);
    EXPECT_EQ(NewtonBodyGetUserData(nullptr), nullptr);
    NewtonBody* made = NewtonCreateBody(w.world, nullptr);  // a body that collides with nothing
    NewtonBodyForEachPolygonDo(nullptr, nullptr);
    EXPECT_EQ(NewtonConstraintCreateVehicle(w.world, nullptr, nullptr), nullptr);
    EXPECT_EQ(NewtonVehicleAddTire(nullptr, m, m, 1, 1, 1, 1, 1, 1, nullptr, 0), nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(made, nullptr);
    EXPECT_NE(out.find("\n NewtonBodySetMatrix(): WARNING! no body given"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonUpdate(): WARNING! no world given"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonCreateBody(): WARNING! unusable collision"), std::string::npos);
}

TEST_F(NewtonBodyTest, DestroyingAWorldTwiceIsCaught) {
    NewtonWorld* extra = NewtonCreate(nullptr, nullptr);
    NewtonDestroy(extra);
    testing::internal::CaptureStdout();
    NewtonDestroy(extra);  // the handle is only looked up, never followed
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n NewtonDestroy(): WARNING! world already destroyed"), std::string::npos);
}

}  // namespace
