#include <GL/glew.h>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Renderer.h"
#include "game/Level.h"
#include "gl/ExtensionManager.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"

namespace {

class ApplicationTest : public testing::Test {
protected:
    void SetUp() override {
        level = std::make_shared<Level>();
        renderer = std::make_shared<Renderer>();
        Application::setup(level, renderer);
    }
    void TearDown() override { Application::setup(nullptr, nullptr); }
    std::shared_ptr<Level> level;
    std::shared_ptr<Renderer> renderer;
};

}  // namespace

TEST_F(ApplicationTest, ReshapeToZeroHeightKeepsAFiniteProjection) {
    REQUIRE_GL();
    Application::reshape(0, 0);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (float v : projection) EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(renderer->windowHeight, 0);
    EXPECT_TRUE(level->getRoot()->getCamera()->hasPrefsChanged());

    Application::reshape(800, 600);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective(60, 4/3): x scale = cot(30 deg) / aspect
    EXPECT_NEAR(projection[0], (1.0 / std::tan(30.0 * M_PI / 180.0)) / (800.0 / 600.0), 1e-4);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
}

TEST_F(ApplicationTest, MouseOrbitsTheEyeAndRightClickResets) {
    auto camera = level->getRoot()->getCamera();
    Application::mouseBtn(0, 0, 100, 100);  // left down
    Application::mouseMotion(90, 100);      // 10 px to the left
    EXPECT_FLOAT_EQ(Application::orbit().camrotHor, 100.0f);
    Application::mouseBtn(0, 1, 90, 100);  // left up
    Application::mouseMotion(0, 0);        // no longer orbiting
    EXPECT_FLOAT_EQ(Application::orbit().camrotHor, 100.0f);
    EXPECT_FLOAT_EQ(Application::orbit().camrotVert, 10.0f);

    Application::mouseBtn(2, 0, 5, 5);  // right click
    EXPECT_FLOAT_EQ(Application::orbit().camrotHor, 90.0f);
    EXPECT_NEAR(camera->getEyeX(), 0.0f, 1e-6);
    EXPECT_NEAR(camera->getEyeY(), 0.6946f, 1e-4);
    EXPECT_NEAR(camera->getEyeZ(), 3.9392f, 1e-4);
}

namespace {
// The start-up with these arguments up to the open window; then a line on
// standard error with the window's size and place, what GLUT left of the
// arguments and the seed read from them, and the end of the process.
[[noreturn]] void startAndReport(std::vector<std::string> words) {
    std::vector<char*> args;
    for (auto& word : words) args.push_back(word.data());
    args.push_back(nullptr);
    int argc = static_cast<int>(words.size()), exitCode = 0;
    // Out without the exit handlers on this way too: the GL driver GLUT
    // loaded is unloaded by them, and what it keeps until then would be
    // reported as leaked from an unknown module, past the suppressions.
    if (!Application::startUp(argc, args.data(), exitCode)) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    std::fprintf(stderr, "window %dx%d at %d,%d; %d arguments left; seed %u\n", glutGet(GLUT_WINDOW_WIDTH),
                 glutGet(GLUT_WINDOW_HEIGHT), glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), argc,
                 Application::options().seed.value_or(0));
    // Straight out: the window is all this process was for (the game's own
    // ways out are checked by the end-to-end games).
    std::_Exit(0);
}
}  // namespace

// GLUT reads its own options first and takes them out; the game reads the
// rest. -geometry sizes and places the window (over --window), -display picks
// the display; neither is an unknown option to the game. GLUT starts once per
// process, so each start runs in a process of its own.
TEST(ApplicationStartUp, GlutTakesItsOwnOptionsFirst) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("XDG_CONFIG_HOME", "/nonexistent", 1);  // no settings file of the machine's player
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(display) << "no X display: run the tests through scripts/test.sh";
    // The test program has no data beside it: --data or $ZARVIK_DATA names the build's.
    const std::string gameDir = std::getenv("ZARVIK_GAME_DIR");
    EXPECT_EXIT(startAndReport({"zarvik", "--data", gameDir, "-geometry", "100x80+7+9", "--seed", "5"}),
                testing::ExitedWithCode(0), "window 100x80 at 7,9; 5 arguments left; seed 5");
    setenv("ZARVIK_DATA", gameDir.c_str(), 1);
    EXPECT_EXIT(startAndReport({"zarvik", "-geometry", "320x200+7+9", "--seed", "3", "--window", "640x480"}),
                testing::ExitedWithCode(0), "window 320x200 at 7,9; 5 arguments left; seed 3");
    EXPECT_EXIT(startAndReport({"zarvik", "--window", "300x100", "-display", display, "--seed", "4"}),
                testing::ExitedWithCode(0), "window 300x100 at 100,100; 5 arguments left; seed 4");
    EXPECT_EXIT(startAndReport({"zarvik", "-geometry", "320x200", "--bogus"}), testing::ExitedWithCode(2),
                "zarvik: unknown option --bogus");
    unsetenv("ZARVIK_DATA");
}

// The settings file sizes and places the window; --window and -geometry win for the run.
TEST(ApplicationStartUp, TheSettingsFilePlacesTheWindowAndTheCommandLineWins) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_TRUE(std::getenv("DISPLAY")) << "no X display: run the tests through scripts/test.sh";
    // Each start's process runs this test again from its beginning, up to
    // its own start: it takes the folder of the process that started it,
    // named in the environment it inherits, rather than make one of its own
    // that nobody would remove.
    constexpr const char* FOLDER_VARIABLE = "ZARVIK_TEST_STARTUP_FOLDER";
    std::optional<TempFolder> made;
    std::string folder = std::getenv(FOLDER_VARIABLE) ? std::getenv(FOLDER_VARIABLE) : "";
    if (folder.empty()) {
        made.emplace("startup");
        folder = made->path();
        ASSERT_FALSE(folder.empty());
        setenv(FOLDER_VARIABLE, folder.c_str(), 1);
    }
    std::filesystem::create_directories(folder + "/zarvik");
    std::ofstream(folder + "/zarvik/settings.toml") << "[window]\nwidth = 640\nheight = 480\nx = 20\ny = 30\n";
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    setenv("ZARVIK_DATA", std::getenv("ZARVIK_GAME_DIR"), 1);
    EXPECT_EXIT(startAndReport({"zarvik", "--seed", "1"}), testing::ExitedWithCode(0),
                "window 640x480 at 20,30; 3 arguments left");
    EXPECT_EXIT(startAndReport({"zarvik", "--window", "300x100"}), testing::ExitedWithCode(0),
                "window 300x100 at 20,30");
    EXPECT_EXIT(startAndReport({"zarvik", "-geometry", "320x200+7+9"}), testing::ExitedWithCode(0),
                "window 320x200 at 7,9");
    unsetenv("ZARVIK_DATA");
    unsetenv(FOLDER_VARIABLE);
    setenv("XDG_CONFIG_HOME", "/nonexistent", 1);
}

TEST(Renderer, DisplayStringFollowsTheFlags) {
    Renderer renderer;
    EXPECT_EQ(renderer.displayString(), "rgba double depth samples=4");
    renderer.multisampling = false;
    EXPECT_EQ(renderer.displayString(), "rgba double depth");
    renderer.doubleBuffered = false;
    renderer.multisampling = true;
    EXPECT_EQ(renderer.displayString(), "rgba depth samples=4");
    renderer.exitGameMode();  // harmless without game mode
    EXPECT_FALSE(renderer.gameMode);
}

TEST(Renderer, ReportsEveryPendingGlError) {
    REQUIRE_GL();
    while (glGetError() != GL_NO_ERROR) {
    }
    testing::internal::CaptureStdout();
    Renderer::checkOGLErrors();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    glEnable(0xFFFF);  // GL_INVALID_ENUM
    testing::internal::CaptureStdout();
    Renderer::checkOGLErrors();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n Renderer::checkOGLErrors(): OpenGL Error!\n   invalid enumerant");
    // Reported errors are gone from the queue.
    testing::internal::CaptureStdout();
    Renderer::checkOGLErrors();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ExtensionManager, WrappersUseTheDriversFunctions) {
    REQUIRE_GL();
    EXPECT_TRUE(ExtensionManager::vboAvailable());
    EXPECT_TRUE(ExtensionManager::occlusionQueryAvailable());
    GLuint buffers[2] = {0, 0};
    ExtensionManager::__glewGenBuffers(2, buffers);
    EXPECT_NE(buffers[0], 0u);
    ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    const float data[3] = {1, 2, 3};
    ExtensionManager::__glewBufferData(GL_ARRAY_BUFFER, sizeof(data), data, GL_STATIC_DRAW);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, static_cast<GLint>(sizeof(data)));
    ExtensionManager::unbindVertexBuffer();
    ExtensionManager::__glewDeleteBuffers(2, buffers);
    EXPECT_FALSE(glIsBuffer(buffers[0]));

    ASSERT_TRUE(ExtensionManager::multitextureAvailable());
    ExtensionManager::__glewActiveTexture(GL_TEXTURE1);
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE1);
    ExtensionManager::__glewActiveTexture(GL_TEXTURE0);

    testing::internal::CaptureStdout();
    ExtensionManager::configureExtensions();
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_EQ(report,
              "\n ExtensionManager.configureExtensions():"
              "\n   glWindowPos2i requires GL_VERSION_1_4 or GL_ARB_window_pos.     ok"
              "\n   vertex buffer objects require GL_VERSION_1_5 or GL_ARB_vertex_buffer_object.     ok"
              "\n   hardware visibility culling require GL_VERSION_1_5 or GL_ARB_occlusion_query.     ok"
              "\n   the ground's detail texture requires GL_VERSION_1_3 (multitexture, combine).     ok");
}
