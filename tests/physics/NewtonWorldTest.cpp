// The world of the Newton-style interface on a real Bullet world: stepping,
// callbacks, resting, sleeping, static bodies and the debug iteration.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "NewtonTestSupport.h"

using namespace newton_test;

namespace {

std::string events;  // "F" per force callback, "T" per transform callback
std::vector<float> velocitiesSeen;
std::vector<float> transformY;

void recordForce(NewtonBody* body) {
    events += "F";
    float v[3];
    NewtonBodyGetVelocity(body, v);
    velocitiesSeen.push_back(v[1]);
    gravity(body);
}

void recordTransform(NewtonBody* body, const float* matrix) {
    events += "T";
    transformY.push_back(matrix[13]);
    Matrix16 now = matrixOf(body);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(now[i], matrix[i]) << "element " << i;
}

class NewtonWorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        velocitiesSeen.clear();
        transformY.clear();
    }
    TestWorld w;
};

TEST_F(NewtonWorldTest, UpdateRunsEqualSubStepsNoLongerThanTheMinimumFrameTime) {
    NewtonBody* body = w.box(1, 1, 1, translation(0, 10, 0), 1.0f);
    NewtonBodySetLinearDamping(body, 0.0f);
    NewtonBodySetForceAndTorqueCallback(body, recordForce);
    NewtonBodySetTransformCallback(body, recordTransform);

    NewtonUpdate(w.world, 0.05f);

    EXPECT_EQ(events, "FFFFFT");  // five force callbacks, then one transform callback
    ASSERT_EQ(velocitiesSeen.size(), 5u);
    for (size_t i = 1; i < velocitiesSeen.size(); ++i) {
        EXPECT_NEAR(velocitiesSeen[i] - velocitiesSeen[i - 1], -9.8f * 0.01f, 1e-4f) << "step " << i;
    }
    float v[3];
    NewtonBodyGetVelocity(body, v);
    EXPECT_NEAR(v[1], -9.8f * 0.05f, 1e-4f);
    ASSERT_EQ(transformY.size(), 1u);
    EXPECT_LT(transformY[0], 10.0f);

    events.clear();
    NewtonUpdate(w.world, 0.025f);  // 3 steps of 8.3 ms
    EXPECT_EQ(events, "FFFT");
    events.clear();
    NewtonUpdate(w.world, 0.004f);  // shorter than one step: one step
    EXPECT_EQ(events, "FT");
}

TEST_F(NewtonWorldTest, AForceSetInTheCallbackActsForThatSubStepOnly) {
    NewtonBody* body = w.box(1, 1, 1, translation(0, 10, 0), 2.0f);
    NewtonBodySetLinearDamping(body, 0.0f);
    static int calls;
    calls = 0;
    NewtonBodySetForceAndTorqueCallback(body, [](NewtonBody* b) {
        if (calls++ == 0) {
            const float push[3] = {100.0f, 0.0f, 0.0f};
            NewtonBodySetForce(b, push);
        }
    });
    NewtonUpdate(w.world, 0.05f);
    float v[3];
    NewtonBodyGetVelocity(body, v);
    EXPECT_EQ(calls, 5);
    EXPECT_NEAR(v[0], 100.0f / 2.0f * 0.01f, 1e-4f);  // one step of 10 ms
}

TEST_F(NewtonWorldTest, NonPositiveOrInvalidTimeDoesNothing) {
    NewtonBody* body = w.box(1, 1, 1, translation(0, 10, 0), 1.0f);
    NewtonBodySetForceAndTorqueCallback(body, recordForce);
    testing::internal::CaptureStdout();
    NewtonUpdate(w.world, 0.0f);
    NewtonUpdate(w.world, -1.0f);
    NewtonUpdate(w.world, std::nanf(""));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(events, "");
    EXPECT_NE(out.find("\n NewtonUpdate(): WARNING!"), std::string::npos);
    EXPECT_FLOAT_EQ(matrixOf(body)[13], 10.0f);
}

TEST_F(NewtonWorldTest, BoxDroppedOnAStaticBoxComesToRestOnIt) {
    NewtonBody* ground = w.box(4, 1, 4, translation(0, 2.5f, 0), 0);  // top at y = 3
    NewtonBody* box = w.box(1, 0.6f, 1, translation(0.3f, 3.8f, -0.2f), 1.0f);
    Matrix16 groundBefore = matrixOf(ground);

    w.run(3.0f);

    Matrix16 m = matrixOf(box);
    EXPECT_NEAR(m[13], 3.3f, 0.02f);
    EXPECT_NEAR(m[12], 0.3f, 0.05f);
    EXPECT_NEAR(m[14], -0.2f, 0.05f);
    EXPECT_NEAR(m[5], 1.0f, 1e-3f);  // still upright
    float v[3];
    NewtonBodyGetVelocity(box, v);
    EXPECT_NEAR(v[1], 0.0f, 0.01f);
    EXPECT_EQ(matrixOf(ground), groundBefore);
}

// More touching pairs than the world's contact pools hold: the rest come
// from the heap and every box still rests on the floor.
TEST_F(NewtonWorldTest, MoreContactsThanThePoolsHoldAllWork) {
    w.floor();
    std::vector<NewtonBody*> boxes;
    for (int i = 0; i < 18; ++i)
        for (int j = 0; j < 18; ++j)
            boxes.push_back(w.box(0.8f, 0.6f, 0.8f, translation(i - 8.5f, 0.45f + 0.01f * j, j - 8.5f), 1.0f));
    ASSERT_GT(boxes.size(), 300u);  // the pools hold 256 pairs each
    w.run(1.5f);
    int resting = 0;
    for (NewtonBody* box : boxes) {
        const Matrix16 m = matrixOf(box);
        float v[3];
        NewtonBodyGetVelocity(box, v);
        if (std::fabs(m[13] - 0.3f) < 0.02f && std::fabs(v[1]) < 0.01f && std::fabs(m[5] - 1.0f) < 1e-3f) ++resting;
    }
    EXPECT_EQ(resting, static_cast<int>(boxes.size()));
}

TEST_F(NewtonWorldTest, StaticBodiesNeverMoveAndGetNoCallbacks) {
    NewtonBody* ground = w.box(4, 1, 4, translation(0, 0, 0), 0);
    NewtonBodySetForceAndTorqueCallback(ground, recordForce);
    NewtonBodySetTransformCallback(ground, recordTransform);
    NewtonBody* falling = w.box(1, 1, 1, translation(0, 3, 0), 5.0f);
    Matrix16 before = matrixOf(ground);

    w.run(2.0f);

    EXPECT_EQ(events, "");
    EXPECT_EQ(matrixOf(ground), before);
    EXPECT_NEAR(matrixOf(falling)[13], 1.0f, 0.02f);
}

TEST_F(NewtonWorldTest, RestingBodiesFallAsleepUnlessAutoFreezeIsOff) {
    w.floor();
    NewtonBody* sleeper = w.box(1, 1, 1, translation(-3, 0.6f, 0), 1.0f);
    NewtonBody* wakeful = w.box(1, 1, 1, translation(3, 0.6f, 0), 1.0f);
    NewtonBodySetAutoFreeze(wakeful, 0);
    static int sleeperCalls, wakefulCalls;
    sleeperCalls = wakefulCalls = 0;
    NewtonBodySetForceAndTorqueCallback(sleeper, [](NewtonBody* b) { ++sleeperCalls, gravity(b); });
    NewtonBodySetForceAndTorqueCallback(wakeful, [](NewtonBody* b) { ++wakefulCalls, gravity(b); });

    w.run(5.0f);
    sleeperCalls = wakefulCalls = 0;
    w.run(1.0f);

    EXPECT_EQ(sleeperCalls, 0);
    EXPECT_EQ(wakefulCalls, 100);

    // Waking it brings its callback back.
    NewtonWorldUnfreezeBody(w.world, sleeper);
    w.run(0.1f);
    EXPECT_GT(sleeperCalls, 0);
}

TEST_F(NewtonWorldTest, ABodyLeavingTheWorldRegionStops) {
    const float low[3] = {-10, -10, -10}, high[3] = {10, 10, 10};
    NewtonSetWorldSize(w.world, low, high);
    NewtonBody* body = w.box(1, 1, 1, translation(0, 0, 0), 1.0f);

    w.run(3.0f);  // falls 44 m without a floor

    Matrix16 m = matrixOf(body);
    EXPECT_LT(m[13], -10.0f);
    EXPECT_GT(m[13], -11.0f);
    float v[3];
    NewtonBodyGetVelocity(body, v);
    EXPECT_EQ(v[1], 0.0f);

    // Moved back inside, it falls again.
    NewtonBodySetMatrix(body, translation(0, 5, 0).data());
    w.run(0.2f);
    EXPECT_LT(matrixOf(body)[13], 5.0f);
}

TEST_F(NewtonWorldTest, DefaultMaterialPairControlsBounceAndCollision) {
    NewtonMaterialSetDefaultElasticity(w.world, 0, 0, 0.9f);
    w.floor();
    NewtonBody* ball = w.body(NewtonCreateSphere(w.world, 0.5f, 0.5f, 0.5f, nullptr), translation(0, 3, 0), 1);
    float highest = 0;
    bool bounced = false;
    for (int i = 0; i < 150; ++i) {
        NewtonUpdate(w.world, 0.01f);
        float v[3];
        NewtonBodyGetVelocity(ball, v);
        if (v[1] > 0.5f) bounced = true;
        if (bounced) highest = std::max(highest, matrixOf(ball)[13]);
    }
    EXPECT_GT(highest, 2.0f);  // an elastic ball bounces back up most of the way

    NewtonMaterialSetDefaultCollidable(w.world, 0, 0, 0);
    w.run(1.0f);
    EXPECT_LT(matrixOf(ball)[13], -0.5f);  // no longer held by the floor
}

TEST_F(NewtonWorldTest, OnlyTheDefaultMaterialGroupExists) {
    EXPECT_EQ(NewtonMaterialGetDefaultGroupID(w.world), 0);
    NewtonBody* body = w.box(1, 1, 1, translation(0, 0, 0), 1.0f);
    testing::internal::CaptureStdout();
    NewtonBodySetMaterialGroupID(body, -1);
    NewtonMaterialSetDefaultFriction(w.world, 0, 3, 1, 1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n NewtonBodySetMaterialGroupID(): WARNING! unknown material group -1"), std::string::npos);
    EXPECT_NE(out.find("\n NewtonMaterialSetDefaultFriction(): WARNING!"), std::string::npos);
}

TEST_F(NewtonWorldTest, ForEachBodyInAABBVisitsTheBodiesInTheBox) {
    NewtonBody* near = w.box(1, 1, 1, translation(1, 0, 0), 0);
    NewtonBody* touching = w.box(2, 2, 2, translation(5.5f, 0, 0), 0);  // reaches x = 4.5
    w.box(1, 1, 1, translation(20, 0, 0), 0);
    static std::vector<NewtonBody*> seen;
    seen.clear();
    const float low[3] = {-5, -5, -5}, high[3] = {5, 5, 5};
    NewtonWorldForEachBodyInAABBDo(w.world, low, high, [](NewtonBody* b) { seen.push_back(b); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE((seen[0] == near && seen[1] == touching) || (seen[0] == touching && seen[1] == near));
}

}  // namespace
