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

// The drive of the keyboard's sign game (GameSupport.h) on a pad, timed in
// frames of a fixed-step game: the left trigger backs over the anti-pursuer
// item, A drives north into the sign, then the d-pad types the row.
TEST(Pad, DrivesIntoTheNorthSignAndTypesTheRowWithTheDPad) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    PadScript pad(GameProcess::buildDir() + "/e2e-pad-script");
    for (const char* line : {"axis lefttrigger 1", "wait 240", "axis lefttrigger 0", "press a", "wait 720",
                             "release a"})
        pad(line);
    setenv("ZARVIK_VIRTUAL_PAD", pad.path.c_str(), 1);
    GameProcess game;
    // The picture does not matter here: a small window at one sample per pixel draws the frames fast.
    ASSERT_TRUE(game.start({"--fixed-step", "--seed", "1", "--no-multisampling", "--window", "320x240"}));
    unsetenv("ZARVIK_VIRTUAL_PAD");
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    ASSERT_TRUE(game.waitFor("Pad connected: Zarvik Virtual Pad", 10.0)) << game.output();
    // About 16 seconds of game in 960 frames: some 20 wall seconds, far longer on a crowded machine.
    ASSERT_TRUE(game.waitFor("sign game started", 480.0)) << game.output();
    const std::string keys = signKeys(game.output());
    ASSERT_EQ(keys.size(), 8u) << game.output();

    for (char key : keys) {
        pad("press " + dpadOf(key));
        pad("release " + dpadOf(key));
    }
    EXPECT_TRUE(game.waitFor("sign dismantled", 60.0)) << game.output();
    EXPECT_EQ(game.output().find("VirtualPad::play(): WARNING!"), std::string::npos) << game.output();

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);
}
