#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "GameSupport.h"
#include "support/TempFolder.h"

using namespace e2e;

namespace {

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

// Pixels of the region that are of the given kind in `after` but were not in `before`.
template <typename Kind>
int newPixels(const Picture& before, const Picture& after, int x0, int y0, int x1, int y1, Kind kind) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (kind(after.at(x, y)) && !kind(before.at(x, y))) ++n;
    return n;
}

bool lineBlue(const unsigned char* c) { return c[2] > 200 && c[0] < 60 && c[1] < 60; }
bool skyBlue(const unsigned char* c) { return c[2] > 150 && c[2] > c[0] + 30; }
// Lit ground: neither sky nor the black of an empty frame.
bool ground(const unsigned char* c) { return !skyBlue(c) && c[0] + c[1] + c[2] > 120; }

// The player car's offset from the last scene dump in the game's output.
bool carOffset(const std::string& output, float xyz[3]) {
    const size_t car = output.rfind("SimpleCarNode - Player Car:");
    if (car == std::string::npos) return false;
    const size_t offset = output.find("offset    = (", car);
    if (offset == std::string::npos) return false;
    return std::sscanf(output.c_str() + offset, "offset    = (%f, %f, %f)", &xyz[0], &xyz[1], &xyz[2]) == 3;
}

}  // namespace

TEST(Game, DrivesTheCarAndAnswersTheDebugKeys) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    const std::string start = game.output();
    EXPECT_NE(start.find("ExtensionManager.initGLEW(): successfully initialized."), std::string::npos);
    EXPECT_NE(start.find("hardware visibility culling require GL_VERSION_1_5 or GL_ARB_occlusion_query."),
              std::string::npos);
    // No sound card: the sound plays into the silent loopback mix, and the game goes on.
    EXPECT_NE(start.find("AudioManager::init() initializing audio subsystem..."), std::string::npos);
    EXPECT_NE(start.find("SoundSystem::init(): no audio output device, mixing into a silent loopback device..."),
              std::string::npos);
    // Sky above, terrain below: a drawn scene, not a black or uniform frame,
    // once the loading picture has faded out (five seconds).
    auto scene = [](const Picture& p) {
        return distinctColours(p, WX, WY, WX + WW, WY + WH) > 50 &&
               countPixels(p, WX, WY, WX + WW, WY + 150, skyBlue) > WW * 150 / 3 &&
               countPixels(p, WX, WY + WH - 150, WX + WW, WY + WH, ground) > WW * 150 / 2;
    };
    settle(4.5);
    Picture frame = shotShowing(game, "e2e-start.png", scene);
    ASSERT_TRUE(frame.pixels);
    EXPECT_GT(distinctColours(frame, WX, WY, WX + WW, WY + WH), 50);
    EXPECT_GT(countPixels(frame, WX, WY, WX + WW, WY + 150, skyBlue), WW * 150 / 3);
    EXPECT_GT(countPixels(frame, WX, WY + WH - 150, WX + WW, WY + WH, ground), WW * 150 / 2);
    settle(1.0);  // the car settles on its wheels

    // Key 6 dumps the scene; three seconds of w move the car along -Z.
    float before[3], after[3];
    ASSERT_TRUE(game.key("6"));
    ASSERT_TRUE(game.waitFor("SimpleCarNode - Player Car:", 10.0));
    settle(0.5);
    ASSERT_TRUE(carOffset(game.output(), before)) << game.output();
    ASSERT_TRUE(game.keyDown("w"));
    settle(3.0);
    ASSERT_TRUE(game.keyUp("w"));
    settle(1.0);
    const size_t dumps = game.output().size();
    ASSERT_TRUE(game.key("6"));
    settle(1.0);
    ASSERT_GT(game.output().size(), dumps);
    ASSERT_TRUE(carOffset(game.output(), after));
    EXPECT_LT(after[2], before[2] - 10.0f) << "from z " << before[2] << " to " << after[2];

    // F2 shows the frame rate in the upper left corner.
    Picture beforeFps = shot(game, "e2e-driven.png");
    ASSERT_TRUE(beforeFps.pixels);
    ASSERT_TRUE(game.key("F2"));
    Picture fps = shotShowing(game, "e2e-fps.png", [&](const Picture& p) {
        return newPixels(beforeFps, p, WX, WY, WX + 200, WY + 30, textWhite) > 30;
    });
    ASSERT_TRUE(fps.pixels);
    EXPECT_GT(newPixels(beforeFps, fps, WX, WY, WX + 200, WY + 30, textWhite), 30);

    // Key 4 draws the collision shapes around the car as blue wire lines.
    ASSERT_TRUE(game.key("4"));
    Picture shapes = shotShowing(game, "e2e-physics.png", [&](const Picture& p) {
        return newPixels(fps, p, WX, WY + 60, WX + WW, WY + WH, lineBlue) > 100;
    });
    ASSERT_TRUE(shapes.pixels);
    EXPECT_GT(newPixels(fps, shapes, WX, WY + 60, WX + WW, WY + WH, lineBlue), 100);

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(20.0), 0);
}

namespace {

// Mean difference per channel between the window and the loading picture
// stretched over it, on a grid of 32 x 24 points.
double differenceFromLoadingPicture(const Picture& screen) {
    Picture loading;
    if (!loading.load(GameProcess::gameDir() + "/images/loading.jpg")) return -1;
    double sum = 0;
    int n = 0;
    for (int gy = 0; gy < 24; ++gy)
        for (int gx = 0; gx < 32; ++gx) {
            const int x = 12 + gx * 24, y = 12 + gy * 24;  // window pixels, top row first
            const unsigned char* s = screen.at(WX + x, WY + y);
            const unsigned char* p = loading.at(x * loading.w / WW, y * loading.h / WH);
            for (int c = 0; c < 3; ++c) sum += std::abs(s[c] - p[c]);
            n += 3;
        }
    return sum / n;
}

// The flare's violet squares (the sky, the ground and the cars have none).
bool flareViolet(const unsigned char* c) { return c[2] > 140 && c[0] > 90 && c[1] + 30 < c[0] && c[1] + 60 < c[2]; }

}  // namespace

TEST(Game, ShowsTheLoadingPictureThenTheLevelAndTheSunsFlare) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    Picture loading = shot(game, "e2e-loading.png");
    ASSERT_TRUE(loading.pixels);
    const double atStart = differenceFromLoadingPicture(loading);
    EXPECT_GE(atStart, 0) << "the loading picture of the kit is missing";
    EXPECT_LT(atStart, 30) << "right after loading the picture covers the window upright";

    // The car starts facing north, towards the low sun: the flare's chain runs
    // from the sun down through the middle of the window.
    auto violetInTheChain = [](const Picture& p) {
        return countPixels(p, WX + WW / 2 - 40, WY + 130, WX + WW / 2 + 40, WY + 390, flareViolet);
    };
    settle(5.0);  // the picture fades out over five seconds
    Picture level = shotShowing(game, "e2e-level.png", [&](const Picture& p) {
        return differenceFromLoadingPicture(p) > 45 && violetInTheChain(p) > 30;
    });
    ASSERT_TRUE(level.pixels);
    EXPECT_GT(differenceFromLoadingPicture(level), 45) << "once faded out it is gone";
    EXPECT_GT(violetInTheChain(level), 30);
    ASSERT_TRUE(game.drag(WW / 2, WH / 2, 180, 0));  // orbit half round the car: the sun is behind
    // A violet item's glow on the horizon behind the car shows a few.
    Picture away = shotShowing(game, "e2e-away-from-sun.png", [&](const Picture& p) { return violetInTheChain(p) < 15; });
    ASSERT_TRUE(away.pixels);
    EXPECT_LT(violetInTheChain(away), 15);
    ASSERT_TRUE(game.rightClick());  // the orbit back where it was: the flare returns
    Picture back = shotShowing(game, "e2e-sun-again.png", [&](const Picture& p) { return violetInTheChain(p) > 30; });
    ASSERT_TRUE(back.pixels);
    EXPECT_GT(violetInTheChain(back), 30);

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);  // a loaded machine may be slow to shut down
}

TEST(Game, AGameModeTheDisplayCannotShowFallsBackToAWindow) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start("320x200:8@7"));
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    EXPECT_NE(game.output().find("game mode not available, opening a window"), std::string::npos);
    settle(1.0);
    EXPECT_FALSE(game.windowId().empty());
    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(20.0), 0);
}

// Auto resolution opens the window without depth: the world is drawn off the
// screen. Where framebuffer objects are missing (hidden here by Mesa's
// overrides) the game says so and opens its window again, with depth, and
// draws without a GL error.
TEST(Game, WithoutFramebufferObjectsTheWindowOpensAgainWithDepth) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
    setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_framebuffer_object", 1);
    GameProcess game;
    const bool started = game.start(std::vector<std::string>{"--benchmark", "1", "--seed", "1", "--window", "200x150"});
    unsetenv("MESA_GL_VERSION_OVERRIDE");
    unsetenv("MESA_EXTENSION_OVERRIDE");
    ASSERT_TRUE(started);
    EXPECT_EQ(game.waitForExit(120.0), 0);
    const std::string output = game.output();
    const std::size_t note = output.find("NOTE: framebuffer objects not available");
    ASSERT_NE(note, std::string::npos) << output;
    EXPECT_LT(output.find("window without a depth buffer"), note);
    EXPECT_NE(output.find("window with a ", note), std::string::npos) << output;  // 24 or 32 bits, as the X server offers
    EXPECT_EQ(output.find("OpenGL Error"), std::string::npos) << output;
}

namespace {

// The yellow of a town plate (the sun and its glow are whiter).
bool plateYellow(const unsigned char* c) { return c[0] > 160 && c[1] > 130 && c[2] < 70; }

}  // namespace

TEST(Game, DrivesIntoTheSignAheadAndTakesItDownWithTheArrowKeys) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start());
    const std::string keys = driveIntoTheNorthSign(game);
    ASSERT_EQ(keys.size(), 8u) << game.output();
    settle(0.5);
    Picture playing = shot(game, "e2e-sign-game.png");

    // A wrong key: the "wrong key" picture over the upper middle of the window.
    const char wrong = keys[0] == 'w' ? 's' : 'w';
    ASSERT_TRUE(playing.pixels);
    ASSERT_TRUE(game.key(std::string(1, wrong)));
    Picture error = shotShowing(game, "e2e-sign-wrong.png", [&](const Picture& p) {
        return changedPixels(playing, p, WX + 200, WY + 60, WX + 600, WY + 260) > 4000;
    });
    ASSERT_TRUE(error.pixels);
    EXPECT_GT(changedPixels(playing, error, WX + 200, WY + 60, WX + 600, WY + 260), 4000);

    for (char k : keys) {
        ASSERT_TRUE(game.key(std::string(1, k)));
        settle(0.25);
    }
    // Backing away from the sign takes its pictures off: the posts stand without their plate.
    ASSERT_TRUE(game.keyDown("s"));
    settle(1.0);
    ASSERT_TRUE(game.keyUp("s"));
    const int plateBefore = countPixels(playing, WX + 200, WY, WX + 600, WY + 300, plateYellow);
    Picture down = shotShowing(game, "e2e-sign-down.png", [&](const Picture& p) {
        return countPixels(p, WX + 200, WY, WX + 600, WY + 300, plateYellow) < plateBefore / 10;
    });
    ASSERT_TRUE(down.pixels);
    EXPECT_GT(plateBefore, 3000) << "the town plate stands ahead while the game runs";
    EXPECT_LT(countPixels(down, WX + 200, WY, WX + 600, WY + 300, plateYellow), plateBefore / 10);

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);
}

TEST(Game, APursuerCatchesTheCarAndRPutsTheLevelBack) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    settle(5.5);
    Picture start = shot(game, "e2e-race-start.png");
    ASSERT_TRUE(start.pixels);
    const int messageBefore = countPixels(start, WX + 200, WY + 60, WX + 600, WY + 240, messageDark);

    // North along the road: a pursuer on its way to the sign there sees the car, or
    // the car takes the overkill item before the sign and every pursuer comes.
    ASSERT_TRUE(game.keyDown("w"));
    settle(12.0);
    ASSERT_TRUE(game.keyUp("w"));
    ASSERT_TRUE(game.waitFor("caught by", 60.0)) << game.output();
    Picture busted = shotShowing(game, "e2e-busted.png", [&](const Picture& p) {
        return countPixels(p, WX + 200, WY + 60, WX + 600, WY + 240, messageDark) > 400 * 180 / 2;
    });
    ASSERT_TRUE(busted.pixels);
    EXPECT_GT(countPixels(busted, WX + 200, WY + 60, WX + 600, WY + 240, messageDark), 400 * 180 / 2)
        << "the busted picture covers the upper middle";

    // Caught, the car ignores w.
    float before[3], after[3];
    ASSERT_TRUE(game.key("6"));
    settle(1.0);
    ASSERT_TRUE(carOffset(game.output(), before));
    ASSERT_TRUE(game.keyDown("w"));
    settle(2.0);
    ASSERT_TRUE(game.keyUp("w"));
    const size_t dumps = game.output().size();
    ASSERT_TRUE(game.key("6"));
    settle(1.0);
    ASSERT_GT(game.output().size(), dumps);
    ASSERT_TRUE(carOffset(game.output(), after));
    EXPECT_LT(std::hypot(after[0] - before[0], after[2] - before[2]), 2.0f);

    // r: back at the start, the picture gone, the watch at zero.
    ASSERT_TRUE(game.key("r"));
    Picture again = shotShowing(game, "e2e-race-reset.png", [&](const Picture& p) {
        return countPixels(p, WX + 200, WY + 60, WX + 600, WY + 240, messageDark) <= messageBefore + 500 &&
               countPixels(p, WX, WY, WX + WW, WY + 150, skyBlue) > WW * 150 / 3;
    });
    ASSERT_TRUE(again.pixels);
    EXPECT_LE(countPixels(again, WX + 200, WY + 60, WX + 600, WY + 240, messageDark), messageBefore + 500);
    EXPECT_GT(countPixels(again, WX, WY, WX + WW, WY + 150, skyBlue), WW * 150 / 3);
    const size_t resetDumps = game.output().size();
    ASSERT_TRUE(game.key("6"));
    settle(1.0);
    ASSERT_GT(game.output().size(), resetDumps);
    ASSERT_TRUE(carOffset(game.output(), after));
    EXPECT_LT(std::hypot(after[0], after[2]), 1.0f) << "the car stands at the start again";

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);
}

// The game plays itself on the fixed step: it takes down the four signs in
// turn, drives back into the start area and ends with exit code 0 and its
// race time. With a fixed step and seed the race is the same in every build
// and window size; seed 1 is a race the autoplay wins. A small window with
// one sample per pixel keeps it near a minute under the sanitizers: the race
// is the same, and the other games check the picture.
// The race's ghost is written for the next game (RacesItsOwnGhostToTheMillisecond).
const std::string SEED_1_GHOST = GameProcess::buildDir() + "/e2e-ghost-seed1";

TEST(Game, PlaysItselfToAWinWithTheSameSeed) {
    GameProcess game;
    game.showMenus();  // without --no-menu: the autoplay alone keeps the panels away
    std::remove(SEED_1_GHOST.c_str());
    ASSERT_TRUE(game.start(std::vector<std::string>{"--autoplay", "--seed", "1", "--window", "160x120", "--no-multisampling",
                                                    "--record-ghost", SEED_1_GHOST}));
    const int code = game.waitForExit(600.0);
    const std::string output = game.output();
    const std::string tail = output.substr(output.size() > 3000 ? output.size() - 3000 : 0);
    EXPECT_EQ(code, 0) << tail;
    for (int n = 1; n <= 4; ++n)
        EXPECT_NE(output.find("autoplay: sign dismantled (" + std::to_string(n) + " of 4) at 0:"), std::string::npos)
            << "sign " << n << "\n" << tail;
    const size_t won = output.find("autoplay: won in ");
    ASSERT_NE(won, std::string::npos) << tail;
    int h = -1, m = -1, s = -1, ms = -1;
    EXPECT_EQ(std::sscanf(output.c_str() + won, "autoplay: won in %d:%2d:%2d.%3d", &h, &m, &s, &ms), 4);
    EXPECT_GT(h * 3600 + m * 60 + s, 30) << "four signs take more than half a minute";
    // The fixed step and seed make the time exact, in every build and window size.
    EXPECT_NE(output.find("autoplay: won in 0:01:56.816"), std::string::npos) << tail;
    EXPECT_EQ(output.find("autoplay: caught"), std::string::npos);
    EXPECT_NE(output.find("GhostRace: the race's ghost written to " + SEED_1_GHOST), std::string::npos) << tail;
    EXPECT_NE(output.find("Menu: results: Time: 0:01:56.816; Best: -"), std::string::npos) << tail;
    EXPECT_EQ(output.find("Menu: Zarvik"), std::string::npos) << "no start panel for the autoplay";
}

// A level the autoplay has never seen, written as a player would: three
// hamlets near the start, a pursuer patrolling beside them, an overkill item
// on the straight way to one of them and a vaccine and an engine item near
// the others. The autoplay plans its route from the file, takes the three
// signs down and drives home: exit 0.
TEST(Game, PlaysItselfToAWinOnALevelItHasNeverSeen) {
    TempFolder folder("e2e-autoplay-level");
    const std::string terrain = GameProcess::gameDir() + "/terrain";
    const std::string file = (folder / "hamlets.toml").string();
    std::ofstream(file) << "[level]\nformat = 1\nname = \"Three Hamlets\"\n"
                        << "[terrain]\nheightmap = \"" << terrain << "/heightmap.png\"\ntiles = \"" << terrain << "\"\n"
                        << "[start]\nposition = [0, 0]\n"
                        << "[[sign]]\nposition = [60, -40]\nname = \"Osthof\"\n"
                        << "[[sign]]\nposition = [-70, -20]\nname = \"Westhof\"\n"
                        << "[[sign]]\nposition = [10, 75]\nname = \"Suedhof\"\n"
                        << "[[pursuer]]\nkind = \"suv\"\nposition = [130, 40]\n"
                        << "[[checkpoint]]\nposition = [130, 40]\n[[checkpoint]]\nposition = [130, -120]\n"
                        << "[[item]]\nkind = \"overkill\"\nposition = [30, -20]\n"
                        << "[[item]]\nkind = \"vaccine\"\nposition = [-55, -15]\n"
                        << "[[item]]\nkind = \"engine\"\nposition = [0, 40]\n";
    GameProcess game;
    ASSERT_TRUE(game.start(std::vector<std::string>{"--autoplay", "--seed", "1", "--window", "160x120", "--no-multisampling",
                                                    "--level", file}));
    const int code = game.waitForExit(600.0);
    const std::string output = game.output();
    const std::string tail = output.substr(output.size() > 3000 ? output.size() - 3000 : 0);
    EXPECT_EQ(code, 0) << tail;
    for (int n = 1; n <= 3; ++n)
        EXPECT_NE(output.find("autoplay: sign dismantled (" + std::to_string(n) + " of 3) at 0:"), std::string::npos)
            << "sign " << n << "\n" << tail;
    EXPECT_NE(output.find("autoplay: won in 0:0"), std::string::npos) << tail;
    EXPECT_EQ(output.find("autoplay: caught"), std::string::npos) << tail;
}

// The level maker's hills of seed 13: on the way to the last sign an SUV and
// the monster truck patrol the road ahead of the car, away from it. The
// autoplay hangs back behind them rather than catch up with their view, and wins.
TEST(Game, PlaysItselfToAWinBehindThePursuersOnAMakersLevel) {
    TempFolder folder("e2e-autoplay-maker");
    const std::string make =
        GameProcess::buildDir() + "/tools/assetgen/assetgen --level 13 " + folder.path() + " >/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    GameProcess game;
    ASSERT_TRUE(game.start(std::vector<std::string>{"--autoplay", "--seed", "1", "--window", "64x48", "--no-multisampling",
                                                    "--level", (folder / "level.toml").string()}));
    const int code = game.waitForExit(600.0);
    const std::string output = game.output();
    const std::string tail = output.substr(output.size() > 3000 ? output.size() - 3000 : 0);
    EXPECT_EQ(code, 0) << tail;
    EXPECT_NE(output.find("autoplay: sign dismantled (4 of 4)"), std::string::npos) << tail;
    EXPECT_EQ(output.find("autoplay: caught"), std::string::npos) << tail;
}

// Every way out keeps its status: a sound file that cannot be read is fatal
// (a failure, with its message), while the player closing the window is not.
TEST(Game, AFatalSoundErrorEndsInFailureAndClosingTheWindowInSuccess) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    namespace fs = std::filesystem;
    // The game's data with audio/cheer.mp3 missing: the rest linked in.
    TempFolder data("e2e-data");
    for (const auto& entry : fs::directory_iterator(GameProcess::gameDir()))
        if (entry.is_directory() && entry.path().filename() != "audio")
            fs::create_directory_symlink(fs::absolute(entry.path()), data / entry.path().filename());
    fs::create_directory(data / "audio");
    for (const auto& entry : fs::directory_iterator(GameProcess::gameDir() + "/audio"))
        if (entry.path().filename() != "cheer.mp3")
            fs::create_symlink(fs::absolute(entry.path()), data / "audio" / entry.path().filename());
    {
        GameProcess game;
        ASSERT_TRUE(game.start(std::vector<std::string>{"--data", data.path(), "--window", "160x120"}));
        const int code = game.waitForExit(120.0);
        EXPECT_NE(game.output().find("FMOD ERROR! (5) File not found.\n  Press any key to exit..."), std::string::npos)
            << game.output();
        EXPECT_EQ(code, 255) << "exit(-1)";
    }
    GameProcess game;
    ASSERT_TRUE(game.start(std::vector<std::string>{"--window", "160x120"}));
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    ASSERT_TRUE(game.closeWindow());
    EXPECT_EQ(game.waitForExit(60.0), 0) << game.output();
}

namespace {
std::string fileBytes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string bytes;
    if (!file) return bytes;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}
}  // namespace

// The same race against the ghost of the game above: every split and the
// finish exactly level, the ghost where the car is at every sample (within
// what the file keeps: positions as floats, orientations in steps of
// 1/32767), and the race's own ghost the same file again.
TEST(Game, RacesItsOwnGhostToTheMillisecond) {
    const std::string ghost = fileBytes(SEED_1_GHOST);
    ASSERT_FALSE(ghost.empty()) << "PlaysItselfToAWinWithTheSameSeed writes " << SEED_1_GHOST;
    const std::string again = SEED_1_GHOST + "-again";
    std::remove(again.c_str());
    GameProcess game;
    ASSERT_TRUE(game.start(std::vector<std::string>{"--autoplay", "--seed", "1", "--window", "160x120", "--no-multisampling",
                                                    "--ghost", SEED_1_GHOST, "--record-ghost", again}));
    const int code = game.waitForExit(600.0);
    const std::string output = game.output();
    const std::string tail = output.substr(output.size() > 3000 ? output.size() - 3000 : 0);
    EXPECT_EQ(code, 0) << tail;
    for (int n = 1; n <= 4; ++n)
        EXPECT_NE(output.find("autoplay: split " + std::to_string(n) + " of 4 against the ghost: +0.000\n"),
                  std::string::npos) << tail;
    EXPECT_NE(output.find("autoplay: finish against the ghost: +0.000\n"), std::string::npos) << tail;
    const size_t kept = output.find("autoplay: the ghost kept to the car at ");
    ASSERT_NE(kept, std::string::npos) << tail;
    unsigned long samples = 0;
    double position = 1, orientation = 1;
    ASSERT_EQ(std::sscanf(output.c_str() + kept, "autoplay: the ghost kept to the car at %lu samples within %lf units and %lf",
                          &samples, &position, &orientation), 3) << tail;
    EXPECT_EQ(samples, (ghost.size() - 72) / 22) << "every sample of the ghost";
    EXPECT_NEAR(static_cast<double>(samples), 116.816 * 30, 2.0) << "the race of 1:56.816 at 30 samples a second";
    EXPECT_LE(position, 1e-4) << "floats some 200 units out are good to 2e-5";
    EXPECT_LE(orientation, 1.0 / 32767) << "half a step of the file's, with the blend's rounding";
    EXPECT_TRUE(fileBytes(again) == ghost) << "the same race, the same ghost";
    std::printf("ghost file of the seed-1 race: %zu bytes\n", ghost.size());
}
