// The menus in the real game: typed keys, a virtual pad, the settings file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "GameSupport.h"

using namespace e2e;

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool fileHolds(const std::string& path, const std::string& text, double seconds = 15.0) {
    for (double waited = 0; waited < seconds; waited += 0.1) {
        if (fileText(path).find(text) != std::string::npos) return true;
        settle(0.1);
    }
    return false;
}

// The yellow of the focused entry's frame and marker.
bool focusYellow(const unsigned char* c) { return c[0] > 200 && c[1] > 170 && c[2] < 110; }

// The focused entry's frame: a straight yellow line across most of the
// panel's width, which nothing in the level draws.
bool framedEntryShows(const Picture& p) {
    for (int y = WY; y < WY + WH; ++y) {
        int run = 0;
        for (int x = WX; x < WX + WW; ++x) {
            run = focusYellow(p.at(x, y)) ? run + 1 : 0;
            if (run >= 300) return true;
        }
    }
    return false;
}

// The player car's offset in the scene dump that 6 prints, waited for.
bool carDumped(GameProcess& game, float xyz[3]) {
    const size_t before = game.output().size();
    if (!game.key("6")) return false;
    for (int i = 0; i < 150; ++i, settle(0.1)) {
        const std::string out = game.output();
        const size_t car = out.rfind("SimpleCarNode - Player Car:");
        if (car == std::string::npos || car < before) continue;
        const size_t offset = out.find("offset    = (", car);
        if (offset != std::string::npos &&
            std::sscanf(out.c_str() + offset, "offset    = (%f, %f, %f)", &xyz[0], &xyz[1], &xyz[2]) == 3)
            return true;
    }
    return false;
}

// One key, then time for the game to take it: keys typed back to back get
// lost on a busy machine.
bool typed(GameProcess& game, const std::string& key) {
    const bool sent = game.key(key);
    settle(0.3);
    return sent;
}

// A virtual pad's script, appended to while the game runs (input/VirtualPad.h).
class MenuPadScript {
public:
    explicit MenuPadScript(std::string file) : path(std::move(file)) { std::ofstream(path, std::ios::trunc); }
    void operator()(const std::string& line) { std::ofstream(path, std::ios::app) << line << '\n'; }
    const std::string path;
};

}  // namespace

// The start panel over the running level; the settings lower the music into
// the player's file (its comment kept); the controls bind the accelerator to
// i; back on the start panel i starts the race and drives.
TEST(Menu, TheStartPanelLeadsToSettingsAndControlsAndTheNewKeyDrives) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    game.showMenus();
    const std::string path = game.settingsPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "# mine\n[sound]\nmusic = 100 # loud\n";
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN", 120)) << game.output();
    ASSERT_TRUE(game.waitFor("Menu: Zarvik", 10)) << game.output();
    const Picture start = shotShowing(game, "e2e-menu-start.png", framedEntryShows);
    EXPECT_TRUE(framedEntryShows(start)) << "the focused entry's frame";

    ASSERT_TRUE(typed(game, "Down"));
    ASSERT_TRUE(typed(game, "Down"));
    ASSERT_TRUE(typed(game, "Return"));
    ASSERT_TRUE(game.waitFor("Menu: Settings", 20)) << game.output();
    ASSERT_TRUE(typed(game, "Left"));
    EXPECT_TRUE(fileHolds(path, "music = 90 # loud")) << fileText(path);
    ASSERT_TRUE(typed(game, "BackSpace"));

    // Controls: Accelerate waits for a key, takes i and writes it.
    ASSERT_TRUE(typed(game, "Down"));
    ASSERT_TRUE(typed(game, "Return"));
    ASSERT_TRUE(game.waitFor("Menu: Controls", 20)) << game.output();
    ASSERT_TRUE(typed(game, "Return"));
    ASSERT_TRUE(typed(game, "i"));
    EXPECT_TRUE(fileHolds(path, "drive_up = 'i'")) << fileText(path);
    ASSERT_TRUE(typed(game, "BackSpace"));

    float before[3], after[3];
    ASSERT_TRUE(carDumped(game, before)) << game.output();
    ASSERT_TRUE(game.keyDown("i"));
    settle(3.0);
    ASSERT_TRUE(game.keyUp("i"));
    ASSERT_TRUE(carDumped(game, after)) << game.output();
    EXPECT_GT(std::hypot(after[0] - before[0], after[2] - before[2]), 2.0f) << "i closed the panel and drove";
    const Picture racing =
        shotShowing(game, "e2e-menu-racing.png", [](const Picture& p) { return !framedEntryShows(p); });
    EXPECT_FALSE(framedEntryShows(racing)) << "no panel while driving";

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60), 0);
    EXPECT_EQ(fileText(path).rfind("# mine\n[sound]\nmusic = 90 # loud\n", 0), 0u) << fileText(path);
}

// With --no-menu no panel shows at start; the pad's Start pauses with the
// pause panel, and its Restart puts the car back at the start.
TEST(Menu, NoStartPanelWithNoMenuAndThePadsStartPausesAndRestarts) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    MenuPadScript pad(GameProcess::buildDir() + "/e2e-menu-pad-script");
    setenv("ZARVIK_VIRTUAL_PAD", pad.path.c_str(), 1);
    GameProcess game;  // with --no-menu
    ASSERT_TRUE(game.start(std::vector<std::string>{"--no-multisampling"}));
    unsetenv("ZARVIK_VIRTUAL_PAD");
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    ASSERT_TRUE(game.waitFor("Pad connected: Zarvik Virtual Pad", 20.0)) << game.output();
    EXPECT_EQ(game.output().find("Menu: "), std::string::npos) << game.output();

    float moved[3], back[3];
    pad("press a");
    settle(3.0);
    pad("release a");
    ASSERT_TRUE(carDumped(game, moved)) << game.output();
    EXPECT_GT(std::hypot(moved[0], moved[2]), 2.0f) << "A drove the car away from the start";
    EXPECT_FALSE(framedEntryShows(shot(game, "e2e-menu-none.png"))) << "no panel";

    pad("press start");
    pad("release start");
    ASSERT_TRUE(game.waitFor("Menu: Paused", 20.0)) << game.output();
    EXPECT_TRUE(framedEntryShows(shotShowing(game, "e2e-menu-paused.png", framedEntryShows)));
    pad("press dpdown");
    pad("release dpdown");
    pad("press a");
    pad("release a");
    bool atStart = false;
    for (int i = 0; i < 20 && !atStart; ++i) atStart = carDumped(game, back) && std::hypot(back[0], back[2]) < 1.0f;
    EXPECT_TRUE(atStart) << "Restart put the car back: " << back[0] << ", " << back[2];
    EXPECT_EQ(game.output().find("WARNING!"), std::string::npos) << game.output();

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);
}
