#include <gtest/gtest.h>

#include <memory>

#include "app/RenderControl.h"
#include "app/Renderer.h"
#include "audio/AudioManager.h"
#include "game/Level.h"
#include "gl/TextPainter.h"
#include "input/KeyboardProcessor.h"
#include "scenegraph/ScenegraphNode.h"
#include "support/GlTestWindow.h"

namespace {

class RenderControlTest : public testing::Test {
protected:
    void SetUp() override {
        control = std::make_shared<RenderControl>(renderer, level);
    }
    void TearDown() override {
        ScenegraphNode::drawMode = 1;
        ScenegraphNode::displayListsEnabled = true;
        ScenegraphNode::useVisibilityCulling = true;
        ScenegraphNode::useAlphaBlending = true;
        ScenegraphNode::showPhysicsDebug = false;
        TextPainter::textheight = 24;
    }
    std::string message() const { return control->getOverlay()->getText(); }

    std::shared_ptr<Renderer> renderer = std::make_shared<Renderer>();
    std::shared_ptr<Level> level = std::make_shared<Level>();
    std::shared_ptr<RenderControl> control;
};

}  // namespace

TEST_F(RenderControlTest, HelpTogglesAndAnotherKeyReplacesIt) {
    control->consumeSpecial(1, 0, 0);
    EXPECT_EQ(message(), RenderControl::helpText());
    EXPECT_EQ(TextPainter::textheight, 15);
    control->consumeSpecial(1, 0, 0);
    EXPECT_EQ(message(), "");
    EXPECT_EQ(TextPainter::textheight, 24);

    control->consumeSpecial(1, 0, 0);
    control->consumeDown('4', 0, 0);  // replaces the help...
    EXPECT_EQ(message(), "enabled physics debug overlay...");
    EXPECT_TRUE(ScenegraphNode::showPhysicsDebug);
    EXPECT_FALSE(control->isHelpShown());
    EXPECT_EQ(TextPainter::textheight, 15);  // ...but keeps the help's line height
    control->consumeSpecial(1, 0, 0);        // so F1 shows the help again
    EXPECT_EQ(message(), RenderControl::helpText());
}

TEST_F(RenderControlTest, DrawModesCycleAndSwitchDisplayListsOff) {
    REQUIRE_GL();
    control->consumeSpecial(6, 0, 0);
    EXPECT_EQ(ScenegraphNode::drawMode, 2);
    EXPECT_EQ(message(), "using vertex buffer objects... (NOTE: display lists disabled automatically)");
    EXPECT_FALSE(ScenegraphNode::displayListsEnabled);
    control->consumeSpecial(6, 0, 0);
    EXPECT_EQ(message(), "switched to debug mode (no high detail geometry)...");
    control->consumeSpecial(6, 0, 0);
    EXPECT_EQ(message(), "switched to immediate mode...");
    control->consumeSpecial(6, 0, 0);
    EXPECT_EQ(ScenegraphNode::drawMode, 1);
    EXPECT_EQ(message(), "drawing vertex arrays...");
    EXPECT_FALSE(ScenegraphNode::displayListsEnabled);
    control->consumeSpecial(7, 0, 0);
    EXPECT_EQ(message(), "enabled display lists...");
    EXPECT_TRUE(ScenegraphNode::displayListsEnabled);
}

TEST_F(RenderControlTest, SwitchesReportTheirNewState) {
    REQUIRE_GL();
    control->consumeSpecial(8, 0, 0);
    EXPECT_FALSE(ScenegraphNode::useVisibilityCulling);
    EXPECT_EQ(message(), "visibility culling deactivated...");
    control->consumeSpecial(9, 0, 0);
    EXPECT_FALSE(ScenegraphNode::useAlphaBlending);
    EXPECT_EQ(message(), "alphablending deactivated...");
    control->consumeSpecial(2, 0, 0);
    EXPECT_TRUE(renderer->fpsCounter->isCalculatingFPS());
    EXPECT_EQ(message(), "started FPS calculation...");
    control->consumeSpecial(3, 0, 0);
    GLint mode[2];
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    control->consumeSpecial(3, 0, 0);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    control->consumeDown('5', 0, 0);
    EXPECT_TRUE(level->getRoot()->axisDrawing);
    EXPECT_EQ(message(), "started axis drawing...");
    testing::internal::CaptureStdout();
    control->consumeDown('6', 0, 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("RootNode - <not set>:"), std::string::npos);
}

// m is a plain key of its own (not the special key of the same code) and
// toggles the sound off and on again.
TEST_F(RenderControlTest, MMutesAndUnmutesAllSound) {
    KeyboardProcessor::reset();
    KeyboardProcessor::registerConsumer(control);
    KeyboardProcessor::processDown('m', 0, 0);
    EXPECT_TRUE(AudioManager::isAllMuted());
    EXPECT_EQ(message(), "muted all sound...");
    KeyboardProcessor::processDown('m', 0, 0);
    EXPECT_FALSE(AudioManager::isAllMuted());
    EXPECT_EQ(message(), "unmuted all sound...");
    KeyboardProcessor::reset();
}
