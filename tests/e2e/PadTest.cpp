#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "GameSupport.h"

using namespace e2e;

namespace {

// A virtual pad inside the game, played from a script file that the test
// writes to while the game runs (input/VirtualPad.h: one line a frame).
class PadScript {
public:
    explicit PadScript(std::string file) : path(std::move(file)) { std::ofstream(path, std::ios::trunc); }
    void operator()(const std::string& line) { std::ofstream(path, std::ios::app) << line << '\n'; }
    const std::string path;
};

// The d-pad button of a sign game key.
std::string dpadOf(char key) {
    switch (key) {
        case 'w': return "dpup";
        case 'a': return "dpleft";
        case 's': return "dpdown";
        default: return "dpright";
    }
}

}  // namespace

// The drive of the keyboard's sign game (GameSupport.h) on a pad: the left
// trigger backs over the anti-pursuer item, A drives north into the sign,
// and the d-pad types the row.
TEST(Pad, DrivesIntoTheNorthSignAndTypesTheRowWithTheDPad) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    PadScript pad(GameProcess::buildDir() + "/e2e-pad-script");
    setenv("ZARVIK_VIRTUAL_PAD", pad.path.c_str(), 1);
    GameProcess game;
    ASSERT_TRUE(game.start());
    unsetenv("ZARVIK_VIRTUAL_PAD");
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    ASSERT_TRUE(game.waitFor("Pad connected: Zarvik Virtual Pad", 10.0)) << game.output();

    settle(5.5);
    pad("axis lefttrigger 1");
    settle(4.0);
    pad("axis lefttrigger 0");
    pad("press a");
    settle(12.0);
    pad("release a");
    ASSERT_TRUE(game.waitFor("sign game started", 30.0)) << game.output();
    const std::string keys = signKeys(game.output());
    ASSERT_EQ(keys.size(), 8u) << game.output();

    for (char key : keys) {
        pad("press " + dpadOf(key));
        pad("release " + dpadOf(key));
    }
    EXPECT_TRUE(game.waitFor("sign dismantled", 30.0)) << game.output();
    EXPECT_EQ(game.output().find("VirtualPad::play(): WARNING!"), std::string::npos) << game.output();

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);
}
