#include <gtest/gtest.h>
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <GL/glew.h>
#include <unistd.h>

#include <algorithm>
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
#include "overlay/Overlay2DManager.h"
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
    EXPECT_EQ(TextPainter::textheight, 14);
    control->consumeSpecial(1, 0, 0);
    EXPECT_EQ(message(), "");
    EXPECT_EQ(TextPainter::textheight, 24);

    control->consumeSpecial(1, 0, 0);
    control->consumeDown('4', 0, 0);  // replaces the help...
    EXPECT_EQ(message(), "enabled physics debug overlay...");
    EXPECT_TRUE(ScenegraphNode::showPhysicsDebug);
    EXPECT_FALSE(control->isHelpShown());
    EXPECT_EQ(TextPainter::textheight, 14);  // ...but keeps the help's line height
    control->consumeSpecial(1, 0, 0);        // so F1 shows the help again
    EXPECT_EQ(message(), RenderControl::helpText());
}

// At 800 x 600 over a bright sky, the help, every message of the keys and
// "PAUSED" stand on a dark panel that covers all behind the text, and none of
// them reaches a window edge. F3's message is painted in wireframe.
TEST_F(RenderControlTest, HelpMessagesAndPauseStandOnADarkPanelInsideTheWindow) {
    REQUIRE_GL();
    constexpr int W = 800, H = 600;
    GLuint framebuffer = 0, colour = 0;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, W, H);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, W, H);
    Overlay2DManager hud(W, H, true);
    hud.registerOverlay(control->getOverlay(), 0);
    auto pause = level->getPauseOverlay();
    hud.registerOverlay(pause, 0);

    std::vector<unsigned char> rgb(W * H * 3);
    auto sky = [&](const unsigned char* p) { return p[0] == 153 && p[1] == 204 && p[2] == 255; };
    auto checkPanel = [&](const std::string& what) {
        glClearColor(0.6f, 0.8f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);  // as in the game
        hud.paint();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        int left = W, right = -1, bottom = H, top = -1;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (!sky(&rgb[(y * W + x) * 3])) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    bottom = std::min(bottom, y);
                    top = std::max(top, y);
                }
        ASSERT_GE(right, left) << what << ": nothing painted";
        EXPECT_TRUE(left > 0 && right < W - 1 && bottom > 0 && top < H - 1)
            << what << ": cut off at the window's edge, x " << left << " to " << right << ", y " << bottom << " to " << top;
        int skyInside = 0, dark = 0, light = 0;
        for (int y = bottom; y <= top; ++y)
            for (int x = left; x <= right; ++x) {
                const unsigned char* p = &rgb[(y * W + x) * 3];
                skyInside += sky(p);
                dark += std::max({p[0], p[1], p[2]}) < 110;  // the sky at 40 %: (61, 82, 102)
                light += std::min({p[0], p[1], p[2]}) > 200;
            }
        const int area = (right - left + 1) * (top - bottom + 1);
        EXPECT_EQ(skyInside, 0) << what << ": the panel has holes";
        EXPECT_GT(dark, area / 2) << what;
        EXPECT_GT(light, 20) << what << ": no light text on the panel";
    };

    control->consumeSpecial(1, 0, 0);
    checkPanel("the help");
    // The first press of each key; the second puts its switch back.
    for (int key : {2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11}) {  // F6 four times: every draw mode
        control->consumeSpecial(key, 0, 0);
        checkPanel("F" + std::to_string(key) + ": " + message());
        control->consumeSpecial(key, 0, 0);
    }
    for (byte key : {'1', '2', '3', '4', '5', 'm'}) {
        control->consumeDown(key, 0, 0);
        checkPanel(std::string(1, key) + ": " + message());
        control->consumeDown(key, 0, 0);
    }
    control->getOverlay()->visible = false;
    pause->visible = true;
    checkPanel("PAUSED");
    pause->visible = false;

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colour);
    glViewport(0, 0, GlTestWindow::width(), GlTestWindow::height());
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
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

// F12 writes the current frame into the player's screenshot folder, made
// when missing, named after the time; a name already taken gets a counter, a
// folder that cannot be made or written a message.
TEST_F(RenderControlTest, F12SavesTheCurrentFrameAsAPng) {
    REQUIRE_GL();
    namespace fs = std::filesystem;
    std::string pattern = testing::TempDir() + "zarvik-shots-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path dataHome = pattern, folder = dataHome / "zarvik" / "screenshots";
    const bool hadDataHome = std::getenv("XDG_DATA_HOME");
    const std::string savedDataHome = hadDataHome ? std::getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", pattern.c_str(), 1);
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
    EXPECT_TRUE(std::regex_match(shots[0].string(), std::regex(R"(zarvik-\d{8}-\d{6}\.png)"))) << shots[0];
    const std::string name = (folder / shots[0]).string();
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

    // A file where the folder should be, and one where the folder above it
    // should be (root may write anywhere, but not there): a message, no
    // picture, no crash.
    for (const fs::path& file : {folder, folder.parent_path()}) {
        fs::remove_all(dataHome / "zarvik");
        fs::create_directories(file.parent_path());
        std::fclose(std::fopen(file.c_str(), "w"));
        testing::internal::CaptureStdout();
        control->consumeSpecial(12, 0, 0);
        EXPECT_NE(testing::internal::GetCapturedStdout().find("cannot save the screenshot"), std::string::npos);
        EXPECT_EQ(message(), "cannot save screenshot: cannot create the folder " + file.string() + ": not a folder");
        EXPECT_TRUE(fs::is_regular_file(file));
    }
    // No folder for the player at all.
    unsetenv("XDG_DATA_HOME");
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("HOME");
    control->consumeSpecial(12, 0, 0);
    EXPECT_EQ(message(), "cannot save screenshot: neither XDG_DATA_HOME nor HOME is set");
    if (!savedHome.empty()) setenv("HOME", savedHome.c_str(), 1);
    if (hadDataHome) setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
    fs::remove_all(dataHome);
}
