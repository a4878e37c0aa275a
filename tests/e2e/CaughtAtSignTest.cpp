#include <gtest/gtest.h>

// Its own copy of the picture reader, private to this file.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "GameProcess.h"

namespace {

// The window's 800 x 600 pixels, from a screenshot of the whole screen (the
// window at (100, 100)) or of the window alone.
struct WindowPicture {
    int w = 0, h = 0, left = 0, top = 0;
    unsigned char* pixels = nullptr;
    ~WindowPicture() { stbi_image_free(pixels); }
    bool load(const std::string& path) {
        int channels = 0;
        pixels = stbi_load(path.c_str(), &w, &h, &channels, 3);
        if (!pixels || w < 800 || h < 600) return false;
        left = w == 800 ? 0 : 100;
        top = h == 600 ? 0 : 100;
        return true;
    }
    const unsigned char* at(int x, int y) const { return pixels + (static_cast<size_t>(y + top) * w + x + left) * 3; }
};

bool shot(GameProcess& game, const std::string& name, WindowPicture& picture) {
    const std::string path = GameProcess::buildDir() + "/" + name;
    return game.screenshot(path) && picture.load(path);
}

void settle(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// The keys of the sign game's row, from its debug line ("" when there is none).
std::string signKeys(const std::string& output) {
    const std::string mark = "sign game started, keys: ";
    const size_t at = output.rfind(mark);
    if (at == std::string::npos) return "";
    std::string keys;
    for (size_t i = at + mark.size(); i < output.size() && std::string("dwas").find(output[i]) != std::string::npos; ++i)
        keys += output[i];
    return keys;
}

// The message board's middle, window pixels: below the row of pursuer stars
// along the top, above the arrow row.
constexpr int BX0 = 200, BY0 = 110, BX1 = 600, BY1 = 240;

// The dark blue-grey ground of the message pictures.
bool messageDark(const unsigned char* c) { return c[0] < 70 && c[1] < 70 && c[2] < 100 && c[2] >= c[0]; }

int darkPixels(const WindowPicture& p) {
    int n = 0;
    for (int y = BY0; y < BY1; ++y)
        for (int x = BX0; x < BX1; ++x) n += messageDark(p.at(x, y)) ? 1 : 0;
    return n;
}

// Pixels of the board's middle that differ clearly between two frames.
int changedPixels(const WindowPicture& a, const WindowPicture& b) {
    int n = 0;
    for (int y = BY0; y < BY1; ++y)
        for (int x = BX0; x < BX1; ++x) {
            const unsigned char *p = a.at(x, y), *q = b.at(x, y);
            if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 90) ++n;
        }
    return n;
}

}  // namespace

// The player drives into the north sign over the overkill item lying five
// units before it: every pursuer hunts the car while its row is typed, and
// the one patrolling to that sign is there within seconds. The catch ends
// the game: the rest of the row and a wrong key change nothing, the busted
// picture stays until r.
TEST(CaughtAtSign, ACatchWhileTheRowIsTypedEndsTheSignGame) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    settle(5.5);
    // Back over the anti-pursuer item 25 units behind the start: no pursuer
    // sees the car on its way north, so none catches it before the sign.
    ASSERT_TRUE(game.keyDown("s"));
    settle(4.0);
    ASSERT_TRUE(game.keyUp("s"));
    // North, 225 units; w let go some 40 units before the sign, the car rolls on into it.
    ASSERT_TRUE(game.keyDown("w"));
    settle(12.0);
    ASSERT_TRUE(game.keyUp("w"));
    ASSERT_TRUE(game.waitFor("sign game started", 30.0)) << game.output();
    const std::string keys = signKeys(game.output());
    ASSERT_EQ(keys.size(), 8u) << game.output();

    // Typing the first three arrows while the pursuers come.
    for (size_t i = 0; i < 3 && game.output().find("caught by") == std::string::npos; ++i) {
        ASSERT_TRUE(game.key(std::string(1, keys[i])));
        settle(0.25);
    }
    ASSERT_TRUE(game.waitFor("caught by", 90.0)) << game.output();
    ASSERT_TRUE(game.waitFor("sign game ended by the catch", 5.0)) << game.output();
    settle(1.0);
    WindowPicture busted;
    ASSERT_TRUE(shot(game, "e2e-caught-at-sign.png", busted));
    EXPECT_GT(darkPixels(busted), (BX1 - BX0) * (BY1 - BY0) / 2) << "the busted picture shows";

    // The whole row, then a wrong key: neither "sign dismantled" nor "wrong key" replaces it.
    for (char k : keys) {
        ASSERT_TRUE(game.key(std::string(1, k)));
        settle(0.25);
    }
    ASSERT_TRUE(game.key(keys[0] == 'w' ? "s" : "w"));
    settle(1.0);
    WindowPicture typed;
    ASSERT_TRUE(shot(game, "e2e-caught-at-sign-typed.png", typed));
    EXPECT_LT(changedPixels(busted, typed), 100) << "the same picture";

    // r takes it away.
    ASSERT_TRUE(game.key("r"));
    settle(2.0);
    WindowPicture reset;
    ASSERT_TRUE(shot(game, "e2e-caught-at-sign-reset.png", reset));
    EXPECT_GT(changedPixels(busted, reset), (BX1 - BX0) * (BY1 - BY0) / 2);

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);
}
