// Levels as files over whole games: a level file of a player's, driven into
// its sign with real keys; a bad one refused before anything is built; l
// loading the levels of the levels folder one after the other.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "GameSupport.h"
#include "support/TempFolder.h"

using namespace e2e;

namespace {

std::string levelTestRead(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A level of one sign on the first level's ground, written as a player
// would: the car starts facing east, the sign 40 units ahead looks back west.
std::string smallLevel(const std::string& plate) {
    const std::string terrain = GameProcess::gameDir() + "/terrain";
    return "[level]\nformat = 1\nname = \"East Road\"\n"
           "[terrain]\nheightmap = \"" + terrain + "/heightmap.png\"\ntiles = \"" + terrain + "\"\n" +
           "[start]\nposition = [60, 100]\nheading = 90\nradius = 10\n"
           "[[sign]]\nposition = [100, 100]\nheading = 270\nname = \"Testdorf\"\n" + plate +
           "[[pursuer]]\nkind = \"suv\"\nposition = [-250, -250]\n"
           "[[checkpoint]]\nposition = [-250, 250]\n[[checkpoint]]\nposition = [-200, -250]\n";
}

}  // namespace

TEST(Levels, ABadLevelIsRefusedWithEveryFaultAndTheLevelsAreListed) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    TempFolder folder("e2e-level");
    const std::string file = (folder / "bad.toml").string();
    std::ofstream(file) << smallLevel("plate = \"nowhere.png\"\n") << "[[item]]\nkind = \"beer\"\nposition = [0, 0]\n";
    GameProcess game;
    ASSERT_TRUE(game.start(std::vector<std::string>{"--level", file}));
    EXPECT_EQ(game.waitForExit(60.0), 2) << game.output();
    const std::string output = game.output();
    EXPECT_NE(output.find(file + ":15: sign.plate: no file " + (folder / "nowhere.png").string()), std::string::npos) << output;
    EXPECT_NE(output.find(file + ":24: item.kind: \"beer\" is none of"), std::string::npos) << output;
    EXPECT_EQ(output.find("HAVE FUN"), std::string::npos) << "nothing of the level was built";

    GameProcess list;
    ASSERT_TRUE(list.start(std::vector<std::string>{"--levels"}));
    EXPECT_EQ(list.waitForExit(60.0), 0);
    EXPECT_NE(list.output().find("demo  Demo: "), std::string::npos) << list.output();
}

// The player's level, started from the command line: the car faces east as
// the file says and reaches the sign; its row is typed with real keys. Then l
// replaces the level by the first of the levels folder, and again by the
// next, each time released and built anew; the choice is kept; the game ends
// without a leak (LeakSanitizer in the sanitized build).
TEST(Levels, DrivesIntoTheSignOfALevelFileThenLSwitchesLevels) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    TempFolder folder("e2e-level");
    const std::string file = (folder / "east.toml").string();
    std::ofstream(file) << smallLevel("");
    GameProcess game;
    ASSERT_TRUE(game.start(std::vector<std::string>{"--level", file}));
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    settle(5.5);
    ASSERT_TRUE(game.keyDown("w"));
    const bool reached = game.waitFor("sign game started", 30.0);
    ASSERT_TRUE(game.keyUp("w"));
    ASSERT_TRUE(reached) << game.output();
    settle(1.0);
    const std::string keys = signKeys(game.output());
    ASSERT_GE(keys.size(), 1u) << game.output();
    for (char k : keys) {
        ASSERT_TRUE(game.key(std::string(1, k)));
        settle(0.3);
    }
    EXPECT_TRUE(game.waitFor("sign dismantled", 10.0)) << game.output();
    EXPECT_NE(levelTestRead(game.settingsPath()).find("level = '" + file + "'"), std::string::npos)
        << levelTestRead(game.settingsPath());

    ASSERT_TRUE(game.key("l"));
    ASSERT_TRUE(game.waitFor("LevelSwitch: loading the level demo", 20.0)) << game.output();
    for (int loads = 2; loads <= 3; ++loads) {
        for (int waited = 0; waited < 1200 && occurrences(game.output(), "Level loaded successfully") < loads; ++waited)
            settle(0.1);
        ASSERT_EQ(occurrences(game.output(), "Level loaded successfully"), loads) << game.output();
        settle(2.0);
        if (loads == 2) ASSERT_TRUE(game.key("l"));
    }
    EXPECT_EQ(levelTestRead(game.settingsPath()).find(file), std::string::npos) << "the last level loaded is kept";
    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0) << game.output();
}
