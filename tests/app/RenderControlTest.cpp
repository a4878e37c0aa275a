#include <gtest/gtest.h>
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <GL/glew.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <regex>

#include "app/RenderControl.h"
#include "app/Renderer.h"
#include "app/Screenshot.h"
#include "audio/AudioManager.h"
#include "game/Level.h"
#include "gl/TextPainter.h"
#include "input/KeyboardProcessor.h"
#include "overlay/Overlay2D.h"
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

// F12 writes the current frame into the working directory, named after
// the time; a name already taken gets a counter, a failed write a message.
TEST_F(RenderControlTest, F12SavesTheCurrentFrameAsAPng) {
    REQUIRE_GL();
    namespace fs = std::filesystem;
    std::string pattern = testing::TempDir() + "zarvik-shots-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path folder = pattern, home = fs::current_path();
    fs::current_path(folder);
    renderer->windowWidth = GlTestWindow::width();
    renderer->windowHeight = GlTestWindow::height();

    // The level's frame: the clear colour, and a HUD element that paints a
    // red square into the lower left corner. The buffer starts black: F12
    // paints the frame itself.
    class Corner : public Overlay2D {
    public:
        void paint() override {
            glEnable(GL_SCISSOR_TEST);
            glScissor(0, 0, 10, 10);
            glClearColor(1, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glDisable(GL_SCISSOR_TEST);
            glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
        }
    };
    level->getOverlayManager()->registerOverlay(std::make_shared<Corner>(), 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    KeyboardProcessor::reset();
    KeyboardProcessor::registerConsumer(control);
    KeyboardProcessor::setPaused(true);  // a paused game can be photographed too
    testing::internal::CaptureStdout();
    KeyboardProcessor::processSpecial(12, 0, 0);
    const std::string console = testing::internal::GetCapturedStdout();
    KeyboardProcessor::reset();

    std::vector<fs::path> shots;
    for (const auto& entry : fs::directory_iterator(folder)) shots.push_back(entry.path().filename());
    ASSERT_EQ(shots.size(), 1u);
    const std::string name = shots[0].string();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(zarvik-\d{8}-\d{6}\.png)"))) << name;
    EXPECT_EQ(message(), "saved screenshot " + name + "...");
    EXPECT_NE(console.find(name), std::string::npos);
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(name.c_str(), &w, &h, &channels, 3);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(w, GlTestWindow::width());
    EXPECT_EQ(h, GlTestWindow::height());
    auto at = [&](int x, int y) { return pixels + (size_t(y) * w + x) * 3; };
    EXPECT_NEAR(at(w / 2, h / 2)[0], 51, 2);
    EXPECT_NEAR(at(w / 2, h / 2)[1], 102, 2);
    EXPECT_NEAR(at(w / 2, h / 2)[2], 153, 2);
    EXPECT_EQ(at(2, h - 3)[0], 255) << "the picture's bottom row is the window's bottom row";
    EXPECT_EQ(at(2, 2)[0], 51);
    stbi_image_free(pixels);

    // Two shots in the same second.
    const std::time_t when = 1765000000;
    const std::string first = Screenshot::freeName(folder.string(), when);
    std::fclose(std::fopen(first.c_str(), "w"));
    const std::string second = Screenshot::freeName(folder.string(), when);
    EXPECT_EQ(second, first.substr(0, first.size() - 4) + "-2.png");
    std::fclose(std::fopen(second.c_str(), "w"));
    EXPECT_EQ(Screenshot::freeName(folder.string(), when), first.substr(0, first.size() - 4) + "-3.png");

    // A working directory that is gone: a message, no file, no crash.
    fs::remove_all(folder);
    testing::internal::CaptureStdout();
    control->consumeSpecial(12, 0, 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("cannot save the screenshot"), std::string::npos);
    EXPECT_EQ(message().rfind("cannot save screenshot zarvik-", 0), 0u) << message();
    fs::current_path(home);
}
