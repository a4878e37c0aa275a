#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scenegraph/SphereNode.h"

TEST(GeometryNode, HiddenNodeIsCulledAndComesBackIntoView) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = true;
    RootNode root("root");
    setUpView(root);
    auto wall = std::make_shared<BoxNode>("wall");
    wall->useOwnTransform = true;
    wall->setTranslation(0, 0, 2);
    wall->setScale(4, 4, 0.2f);
    glow(*wall, 1, 0, 0);
    auto hidden = std::make_shared<PassRecorder>("hidden");
    hidden->useOwnTransform = true;
    hidden->setTranslation(0, 0, -2);
    glow(*hidden, 0, 1, 0);
    root.addChild(wall);
    root.addChild(hidden);
    root.finalize();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // as after the level's warm-up
    drawFrame(root);  // empty depth buffer: everything counts as visible
    EXPECT_EQ(centre().r, 255);
    hidden->passes.clear();
    drawFrame(root);  // the wall drawn last frame hides the box: its query finds no samples
    EXPECT_FALSE(hidden->getBoundingBox()->visible);
    EXPECT_TRUE(hidden->passes.empty());
    EXPECT_TRUE(wall->getBoundingBox()->visible);

    wall->setTranslation(0, 40, 2);  // out of the way
    drawFrame(root);  // still tested against the last frame's depth
    drawFrame(root);
    EXPECT_TRUE(hidden->getBoundingBox()->visible);
    EXPECT_FALSE(hidden->passes.empty());
    const auto p = centre();
    EXPECT_EQ(p.g, 255);
    EXPECT_EQ(p.r, 0);
}

TEST(GeometryNode, AlwaysVisibleNodesIssueNoQueries) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto node = std::make_shared<PassRecorder>("always");
    node->alwaysVisible = true;
    root.addChild(node);
    root.finalize();
    root.startVisibilityTests();
    EXPECT_EQ(node->getBoundingBox()->queryName, 0u);
    root.paint();
    EXPECT_EQ(node->passes.size(), 1u);
}

TEST(GeometryNode, StaleQueryIsReadAtTheNextTestPass) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto node = std::make_shared<BoxNode>("stale");
    root.addChild(node);
    root.finalize();
    root.startVisibilityTests();
    ASSERT_NE(node->getBoundingBox()->queryName, 0u);
    testing::internal::CaptureStdout();
    root.startVisibilityTests();  // no opaque pass ran in between
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n GeometryNode::fireOcclusionQuery(): getting old result for stale");
    root.paint();
    EXPECT_EQ(node->getBoundingBox()->queryName, 0u);
}

TEST(GeometryNode, OrientationFromTheDrawnMatrix) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = false;
    RootNode root("root");
    setUpView(root);
    root.getCamera()->setEyePoint(0, 0, 0.0001f);  // looking down -Z from the origin: view ~ identity
    auto node = std::make_shared<BoxNode>("n");
    node->useOwnTransform = true;
    root.addChild(node);
    drawFrame(root);
    const Point d = node->getDirection();
    EXPECT_NEAR(d.x, 0.0, 1e-4);
    EXPECT_NEAR(d.z, -1.0, 1e-4);
    EXPECT_EQ(node->getPosition().w, 0.0);

    node->setTranslation(1, 2, 3);
    node->setRotations(0, 90, 0);
    drawFrame(root);
    const Point p = node->getPosition();
    EXPECT_NEAR(p.x, 1.0, 1e-4);
    EXPECT_NEAR(p.y, 2.0, 1e-4);
    EXPECT_NEAR(p.z, 3.0 - 0.0001, 1e-4);
    const Point dir = node->getDirection();  // yaw 90: forward -Z turns to -X
    EXPECT_NEAR(dir.x - p.x, -1.0, 1e-4);
    EXPECT_NEAR(dir.z - p.z, 0.0, 1e-4);
}

TEST(PrimitiveNodes, BoundingBoxesAndSphereScale) {
    SphereNode sphere("s", 2.0f);
    sphere.setScale(1, 3, 2);
    sphere.finalize();
    const auto box = sphere.getBoundingBox();
    EXPECT_FLOAT_EQ(sphere.maxScale(), 3.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(box->size[i], 4.0f);
        EXPECT_FLOAT_EQ(box->center[i], 0.0f);
    }
    BoxNode cube("c");
    cube.finalize();
    EXPECT_FLOAT_EQ(cube.getBoundingBox()->minX, -0.5f);
    EXPECT_FLOAT_EQ(cube.getBoundingBox()->size[1], 1.0f);
}
