// The physics debug node: the debug box follows a node, and the shapes in it
// are drawn as blue lines only while the debug switch is on (real GL).
#include <gtest/gtest.h>

#include <memory>

#include "LineCapture.h"
#include "NewtonTestSupport.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "physics/PhysicsDebugNode.h"
#include "scenegraph/GeometryNode.h"
#include "support/GlTestWindow.h"

using namespace newton_test;

namespace {

class PhysicsDebugNodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        Physics::reset();
        switchWas = ScenegraphNode::showPhysicsDebug;
    }
    void TearDown() override { ScenegraphNode::showPhysicsDebug = switchWas; }

    // A unit cube node with its body at (x, y, z).
    std::shared_ptr<GeometryNode> cube(float x, float y, float z) {
        auto node = std::make_shared<GeometryNode>("cube");
        node->getBoundingBox()->setExtent(-0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f);
        node->setTranslation(x, y, z);
        node->physicAllocate();
        return node;
    }

    void expectBox(float x, float y, float z, float range) {
        EXPECT_FLOAT_EQ(Physics::debugLinesMin[0], x - range);
        EXPECT_FLOAT_EQ(Physics::debugLinesMin[1], y - range);
        EXPECT_FLOAT_EQ(Physics::debugLinesMin[2], z - range);
        EXPECT_FLOAT_EQ(Physics::debugLinesMax[0], x + range);
        EXPECT_FLOAT_EQ(Physics::debugLinesMax[1], y + range);
        EXPECT_FLOAT_EQ(Physics::debugLinesMax[2], z + range);
    }

    bool switchWas = false;
};

TEST_F(PhysicsDebugNodeTest, SwitchedOffItDrawsNothingButTheBoxFollowsTheBody) {
    auto followed = cube(2, 1, -3);
    PhysicsDebugNode debug(followed, "physics debugging");
    EXPECT_STREQ(debug.getTypeName(), "PhysicsDebugNode");
    ScenegraphNode::showPhysicsDebug = false;
    std::vector<Line> lines = capturedLines([&] { debug.performOperations(); });
    EXPECT_TRUE(lines.empty());
    expectBox(2, 1, -3, 5);
}

TEST_F(PhysicsDebugNodeTest, SwitchedOnItOutlinesTheShapesInsideTheBox) {
    auto followed = cube(0, 0, 0);
    cube(3, 0, 0);
    cube(9, 0, 0);  // beyond the box's edge at x = 4
    PhysicsDebugNode debug(followed, "physics debugging");
    debug.range = 4.0f;
    ScenegraphNode::showPhysicsDebug = true;
    std::vector<Line> lines = capturedLines([&] { debug.performOperations(); });
    EXPECT_EQ(lines.size(), 48u);  // two cubes of 6 faces with 4 edges each
    for (const Line& line : lines) EXPECT_LT(line.a[0], 4.0f);
    expectBox(0, 0, 0, 4);
}

TEST_F(PhysicsDebugNodeTest, ANodeOutOfPhysicsCentresTheBoxOnItsOwnPosition) {
    auto billboard = std::make_shared<GeometryNode>("billboard");
    billboard->useOwnTransform = true;
    billboard->setTranslation(7, 8, 9);
    PhysicsDebugNode debug(billboard, "physics debugging");
    ScenegraphNode::showPhysicsDebug = false;
    capturedLines([&] { debug.performOperations(); });
    expectBox(7, 8, 9, 5);
}

}  // namespace
