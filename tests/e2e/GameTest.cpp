#include <gtest/gtest.h>
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "GameProcess.h"

namespace {

struct Picture {
    int w = 0, h = 0;
    unsigned char* pixels = nullptr;
    ~Picture() { stbi_image_free(pixels); }
    bool load(const std::string& path) {
        int channels = 0;
        pixels = stbi_load(path.c_str(), &w, &h, &channels, 3);
        return pixels != nullptr;
    }
    const unsigned char* at(int x, int y) const { return pixels + (static_cast<size_t>(y) * w + x) * 3; }
};

// Distinct colours (quantised to 32 levels per channel) in a window region.
int distinctColours(const Picture& p, int x0, int y0, int x1, int y1) {
    std::vector<bool> seen(32 * 32 * 32);
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* c = p.at(x, y);
            const int key = (c[0] / 8) * 1024 + (c[1] / 8) * 32 + c[2] / 8;
            if (!seen[key]) {
                seen[key] = true;
                ++count;
            }
        }
    return count;
}

int bluePixels(const Picture& p, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* c = p.at(x, y);
            if (c[2] > 180 && c[0] < 80 && c[1] < 80) ++n;
        }
    return n;
}

int brightPixels(const Picture& p, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (p.at(x, y)[0] > 150 && p.at(x, y)[1] > 150 && p.at(x, y)[2] > 150) ++n;
    return n;
}

void settle(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

}  // namespace

// The game's window sits at (100, 100) and is 800 x 600.
constexpr int WX = 100, WY = 100, WW = 800, WH = 600;

TEST(Game, StartsDrawsAnswersDebugKeysAndQuitsWithEscape) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 60.0)) << game.output();
    const std::string start = game.output();
    EXPECT_NE(start.find("ExtensionManager.initGLEW(): successfully initialized."), std::string::npos);
    EXPECT_NE(start.find("hardware visibility culling require GL_VERSION_1_5 or GL_ARB_occlusion_query."),
              std::string::npos);
    settle(1.0);

    const std::string before = GameProcess::buildDir() + "/e2e-before.png";
    ASSERT_TRUE(game.screenshot(before));
    Picture frame;
    ASSERT_TRUE(frame.load(before));
    // A drawn scene, not a black or uniform frame.
    EXPECT_GT(distinctColours(frame, WX, WY, WX + WW, WY + WH), 20);

    // F2 shows the frame rate in the upper left corner.
    ASSERT_TRUE(game.key("F2"));
    settle(2.5);
    const std::string withFps = GameProcess::buildDir() + "/e2e-fps.png";
    ASSERT_TRUE(game.screenshot(withFps));
    Picture fps;
    ASSERT_TRUE(fps.load(withFps));
    EXPECT_GT(brightPixels(fps, WX, WY, WX + 200, WY + 50), brightPixels(frame, WX, WY, WX + 200, WY + 50) + 20);

    // Key 4 draws the collision shapes as blue wire lines.
    ASSERT_TRUE(game.key("4"));
    settle(1.0);
    const std::string withShapes = GameProcess::buildDir() + "/e2e-physics.png";
    ASSERT_TRUE(game.screenshot(withShapes));
    Picture shapes;
    ASSERT_TRUE(shapes.load(withShapes));
    EXPECT_GT(bluePixels(shapes, WX, WY, WX + WW, WY + WH), bluePixels(fps, WX, WY, WX + WW, WY + WH) + 100);
    ASSERT_TRUE(game.key("4"));

    // Key 6 dumps the scene graph to the console.
    ASSERT_TRUE(game.key("6"));
    EXPECT_TRUE(game.waitFor("RootNode - Scenegraph Root:", 10.0));

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(20.0), 0);
}
