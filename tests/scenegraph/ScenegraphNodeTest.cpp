#include <gtest/gtest.h>

#include <string>

#include "SceneTestSupport.h"
#include "scenegraph/LightNode.h"

namespace {

class Journal : public ScenegraphNode {
public:
    Journal(const char* desc, std::string& log) : ScenegraphNode(desc), log(log) {}
    void executeDisplayList() override { log += nodeDescription; }
    std::string& log;
};

GLint modelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

}  // namespace

TEST(ScenegraphNode, ChildrenAreVisitedNewestFirst) {
    SwitchGuard guard;
    std::string log;
    ScenegraphNode::displayListsEnabled = false;
    Journal parent("P", log);
    for (const char* name : {"A", "B", "C"}) parent.addChild(std::make_shared<Journal>(name, log));
    parent.performOperations();
    EXPECT_EQ(log, "PCBA");

    testing::internal::CaptureStdout();
    parent.printAll();
    const std::string out = testing::internal::GetCapturedStdout();
    const size_t c = out.find(" - C:"), b = out.find(" - B:"), a = out.find(" - A:");
    ASSERT_NE(c, std::string::npos);
    EXPECT_LT(c, b);
    EXPECT_LT(b, a);
}

TEST(ScenegraphNode, LongDescriptionsPrintWhole) {
    const std::string description(600, 'd');
    BoxNode node(description.c_str());
    testing::internal::CaptureStdout();
    node.print();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("BoxNode - " + description + ":"), std::string::npos);
    EXPECT_NE(out.find("not using display list"), std::string::npos);
}

TEST(ScenegraphNode, DisplayListRecordingAndFallback) {
    REQUIRE_GL();
    SwitchGuard guard;
    std::string log;
    Journal node("N", log);
    // Without a valid list the node draws immediately, even with lists enabled.
    node.draw();
    EXPECT_EQ(log, "N");
    ASSERT_TRUE(node.enableDisplayList());  // records once
    EXPECT_EQ(log, "NN");
    const unsigned int first = node.getDisplayList();
    node.draw();  // replays the list: no new call
    EXPECT_EQ(log, "NN");
    ScenegraphNode::displayListsEnabled = false;
    node.draw();
    EXPECT_EQ(log, "NNN");
    ScenegraphNode::displayListsEnabled = true;
    ASSERT_TRUE(node.refreshDisplayList());
    EXPECT_TRUE(glIsList(node.getDisplayList()));
    if (node.getDisplayList() != first) {
        EXPECT_FALSE(glIsList(first));  // the old list was deleted
    }
    node.disableDisplayList();
    EXPECT_FALSE(node.isUsingDisplayList());
    EXPECT_EQ(node.getDisplayList(), 0u);
}

TEST(ScenegraphNode, PassesSelectOpaqueAndTransparentNodes) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = false;
    ScenegraphNode::displayListsEnabled = false;
    RootNode root("root");
    setUpView(root);
    auto solid = std::make_shared<PassRecorder>("solid");
    auto glass = std::make_shared<PassRecorder>("glass");
    glow(*glass, 0, 0, 1, 0.5f);
    root.addChild(solid);
    root.addChild(glass);

    drawFrame(root);
    EXPECT_EQ(solid->passes, std::vector<RenderStates>{OPAQUE_PASS});
    EXPECT_EQ(glass->passes, std::vector<RenderStates>{TRANSPARENT_PASS});
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    solid->passes.clear();
    glass->passes.clear();
    ScenegraphNode::useAlphaBlending = false;
    drawFrame(root);
    EXPECT_EQ(solid->passes, std::vector<RenderStates>{SINGLE_PASS});
    EXPECT_EQ(glass->passes, std::vector<RenderStates>{SINGLE_PASS});

    // Debug mode 3 draws no geometry but still walks the children.
    solid->passes.clear();
    auto child = std::make_shared<PassRecorder>("child");
    solid->addChild(child);
    ScenegraphNode::drawMode = 3;
    child->useOwnTransform = true;
    drawFrame(root);
    EXPECT_TRUE(solid->passes.empty());
    EXPECT_TRUE(child->passes.empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ScenegraphNode, TraversalsKeepTheModelviewStackBalanced) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto parent = std::make_shared<BoxNode>("parent");
    parent->addChild(std::make_shared<BoxNode>("child"));
    parent->addChild(std::make_shared<LightNode>(GL_LIGHT0, "light"));
    root.addChild(parent);
    root.finalize();
    const GLint before = modelviewDepth();
    for (bool blending : {true, false}) {
        ScenegraphNode::useAlphaBlending = blending;
        drawFrame(root);
        EXPECT_EQ(modelviewDepth(), before);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ScenegraphNode, VisibilityTestsDoNothingWithCullingOff) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = false;
    RootNode root("root");
    auto box = std::make_shared<BoxNode>("box");
    root.addChild(box);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const RenderStates before = ScenegraphNode::getRenderState();
    root.startVisibilityTests();
    EXPECT_EQ(ScenegraphNode::getRenderState(), before);
    EXPECT_EQ(box->getBoundingBox()->queryName, 0u);
    GLboolean mask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[3]);
}

TEST(ScenegraphNode, AxisSymbolAppearsFromTheSecondFrame) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = false;
    RootNode root("root");
    setUpView(root);
    root.axisDrawing = true;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -1.5f);
    auto redPixels = [] {
        int red = 0;
        for (int y = 0; y < GlTestWindow::height(); y += 2)
            for (int x = 0; x < GlTestWindow::width(); x += 2) {
                const auto p = GlTestWindow::readPixel(x, y);
                if (p.r > 100 && p.g < 60 && p.b < 60) ++red;
            }
        return red;
    };
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    root.paint();  // records only
    glFinish();
    EXPECT_EQ(redPixels(), 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    root.paint();
    glFinish();
    EXPECT_GT(redPixels(), 0);
}
