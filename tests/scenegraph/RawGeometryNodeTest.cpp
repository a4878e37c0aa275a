#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scenegraph/RawGeometryNode.h"

namespace {

// A triangle that covers the centre of the view at z = 0.
FloatArray triangle() {
    FloatArray v(new float[9]{-2, -2, 0, 2, -2, 0, 0, 3, 0});
    return v;
}

}  // namespace

TEST(RawGeometryNode, DrawsStoredArraysAndRecordedLists) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto raw = std::make_shared<RawGeometryNode>("raw");
    glow(*raw, 0, 0, 1);
    raw->setVertexArray(triangle(), 3);
    // One normal and no coordinates for three vertices: nothing is read past them.
    FloatArray oneNormal(new float[3]{0, 0, 1});
    raw->setNormalArray(oneNormal, 1);
    root.addChild(raw);
    EXPECT_TRUE(raw->alwaysVisible);
    EXPECT_TRUE(raw->useOwnTransform);

    ScenegraphNode::displayListsEnabled = false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFrame(root);
    EXPECT_EQ(centre().b, 255);

    // A list the caller records replaces the arrays while lists are enabled.
    ScenegraphNode::displayListsEnabled = true;
    raw->startDisplayListRecording();
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 0);
    glBegin(GL_TRIANGLES);
    glVertex3f(-2, -2, 0);
    glVertex3f(2, -2, 0);
    glVertex3f(0, 3, 0);
    glEnd();
    glEnable(GL_LIGHTING);
    raw->stopDisplayListRecording();
    drawFrame(root);
    const auto p = centre();
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 255);
    EXPECT_EQ(p.b, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
