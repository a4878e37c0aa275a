// The player's settings file over a whole game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "GameSupport.h"

using namespace e2e;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Waits until the file holds text, for at most `seconds`.
bool fileShows(const std::string& path, const std::string& text, double seconds = 10.0) {
    for (double waited = 0; waited < seconds; waited += 0.1) {
        if (readFile(path).find(text) != std::string::npos) return true;
        settle(0.1);
    }
    return false;
}


}  // namespace

// Read at start: the window's size and a volume key bound to k. The volume
// keys, n, g and the full-screen key write their changes at once, the resized
// window at the end, each into the player's own text. The HUD's watch
// follows the window's top right corner.
TEST(Settings, TheGameReadsTheFileAndWritesBackWhatThePlayerChanged) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    const std::string path = game.settingsPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "# mine\n[window]\nwidth = 640\nheight = 480\n\n[sound]\nmusic = 50 # half\nmine = 1\n"
                           "[keys]\nmusic_up = \"k\"\n";
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN", 120)) << game.output();
    EXPECT_NE(game.output().find("Settings: " + path + ":8: unknown entry sound.mine, left as it is"),
              std::string::npos);

    // 640 x 480 at (100, 100): the watch near its top right corner.
    auto watchAt = [](int right, int top = WY) {
        return [right, top](const Picture& p) {
            return countPixels(p, right - 180, top + 5, right - 10, top + 40, textWhite) > 40;
        };
    };
    const Picture small = shotShowing(game, "settings-640.png", watchAt(WX + 640));
    EXPECT_GT(countPixels(small, WX + 640 - 180, WY + 5, WX + 640 - 10, WY + 40, textWhite), 40);

    ASSERT_TRUE(game.key("8"));  // music up's own key moved to k: nothing
    ASSERT_TRUE(game.key("k"));
    EXPECT_TRUE(fileShows(path, "music = 60 # half"));
    ASSERT_TRUE(game.key("9"));
    EXPECT_TRUE(fileShows(path, "effects = 90"));
    EXPECT_EQ(readFile(path), "# mine\n[window]\nwidth = 640\nheight = 480\n\n[sound]\nmusic = 60 # half\nmine = 1\n"
                              "effects = 90\n[keys]\nmusic_up = \"k\"\n");
    // The minimap and the ghost hidden: the choices go into a table of their own.
    ASSERT_TRUE(game.key("n"));
    ASSERT_TRUE(game.key("g"));
    EXPECT_TRUE(fileShows(path, "\n[view]\nminimap = false\nghost = false\n"));

    ASSERT_TRUE(game.resize(900, 500));
    const Picture wide = shotShowing(game, "settings-900.png", watchAt(WX + 900));
    EXPECT_GT(countPixels(wide, WX + 900 - 180, WY + 5, WX + 900 - 10, WY + 40, textWhite), 40);

    // Full screen: the virtual screen's 1280 x 1024, the watch in its corner.
    ASSERT_TRUE(game.key("f"));
    EXPECT_TRUE(fileShows(path, "full_screen = true"));
    const Picture full = shotShowing(game, "settings-full.png", watchAt(1280, 0));
    EXPECT_GT(countPixels(full, 1280 - 180, 5, 1280 - 10, 40, textWhite), 40);
    ASSERT_TRUE(game.key("f"));
    EXPECT_TRUE(fileShows(path, "full_screen = false"));

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(30), 0);
    EXPECT_EQ(readFile(path), "# mine\n[window]\nwidth = 900\nheight = 500\nfull_screen = false\n\n[sound]\n"
                              "music = 60 # half\nmine = 1\neffects = 90\n[keys]\nmusic_up = \"k\"\n\n"
                              "[view]\nminimap = false\nghost = false\n");
}
