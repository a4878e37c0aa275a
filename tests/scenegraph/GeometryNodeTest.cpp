#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scenegraph/SphereNode.h"

TEST(GeometryNode, HiddenNodeIsCulledAndComesBackOneFrameLate) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = true;
    RootNode root("root");
    setUpView(root);
    auto wall = placed(std::make_shared<BoxNode>("wall"), 0, 0, 2, 4, 4, 0.2f);
    glow(*wall, 1, 0, 0);
    auto hidden = placed(std::make_shared<PassRecorder>("hidden"), 0, 0, -2);
    glow(*hidden, 0, 1, 0);
    root.addChild(wall);
    root.addChild(hidden);  // visited first: drawn before the wall that hides it
    root.finalize();

    drawFrame(root);  // no answer yet: drawn; its box, tested after the wall, finds no samples
    EXPECT_EQ(hidden->passes, std::vector<RenderStates>{OPAQUE_PASS});
    EXPECT_EQ(centre().r, 255);
    hidden->passes.clear();
    drawFrame(root);
    EXPECT_FALSE(hidden->getBoundingBox()->visible);
    EXPECT_TRUE(hidden->passes.empty());
    EXPECT_TRUE(wall->getBoundingBox()->visible);

    wall->setTranslation(0, 40, 2);  // out of the way
    drawFrame(root);                 // the box query of this frame sees it...
    EXPECT_TRUE(hidden->passes.empty());
    EXPECT_EQ(centre().g, 0);
    drawFrame(root);  // ...and the next frame draws it
    EXPECT_TRUE(hidden->getBoundingBox()->visible);
    EXPECT_FALSE(hidden->passes.empty());
    const auto p = centre();
    EXPECT_EQ(p.g, 255);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GeometryNode, NodesOutsideTheViewAreNeitherDrawnNorQueriedAndReturnAtOnce) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = true;
    RootNode root("root");
    setUpView(root);  // eye at z = 5 looking down -z, 60 degrees
    auto node = std::make_shared<PassRecorder>("roaming");
    node->useOwnTransform = true;
    root.addChild(node);
    root.finalize();
    // Behind the eye, beyond the far plane, and beside the view: a unit box
    // just outside each, then just touching the view again.
    const float outside[3][3] = {{0, 0, 6}, {0, 0, -96}, {5.0f, 0, 0}};
    for (const auto& place : outside) {
        node->setTranslation(place[0], place[1], place[2]);
        node->passes.clear();
        drawFrame(root);
        EXPECT_FALSE(node->getBoundingBox()->visible) << place[0] << " " << place[2];
        EXPECT_TRUE(node->passes.empty());
        EXPECT_EQ(node->getBoundingBox()->queryName, 0u);
    }
    // At x = 3.2 the box's near edge (2.7) is inside the view's half width at
    // z = -0.5 (tan 30 * 5.5 = 3.18): drawn in the very frame it comes in.
    node->setTranslation(3.2f, 0, 0);
    drawFrame(root);
    EXPECT_TRUE(node->getBoundingBox()->visible);
    EXPECT_FALSE(node->passes.empty());

    // Culling off draws everything, and an old answer does not hide the node
    // when it comes back on.
    node->setTranslation(0, 0, 6);
    ScenegraphNode::useVisibilityCulling = false;
    node->passes.clear();
    drawFrame(root);
    EXPECT_FALSE(node->passes.empty());
    ScenegraphNode::useVisibilityCulling = true;
    node->setTranslation(0, 0, 0);
    node->passes.clear();
    drawFrame(root);
    EXPECT_FALSE(node->passes.empty());
}

TEST(GeometryNode, AlwaysVisibleNodesIssueNoQueries) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto node = std::make_shared<PassRecorder>("always");
    node->alwaysVisible = true;
    node->setTranslation(0, 0, 50);  // even behind the eye
    root.addChild(node);
    root.finalize();
    drawFrame(root);
    EXPECT_EQ(node->getBoundingBox()->queryName, 0u);
    EXPECT_EQ(node->passes.size(), 1u);
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
