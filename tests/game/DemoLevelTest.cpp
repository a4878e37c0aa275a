#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include <GL/glew.h>
#include <GL/glu.h>

#include "assets/DetailTexture.h"
#include "assets/Halo.h"
#include "audio/AudioManager.h"
#include "math/Constants.h"
#include "game/Autoplay.h"
#include "game/BoozeAction.h"
#include "game/CheckpointAction.h"
#include "game/DemoLevel.h"
#include "game/EngineAction.h"
#include "game/GhostChoice.h"
#include "game/GhostFile.h"
#include "game/LevelControl.h"
#include "game/MinimapFeed.h"
#include "game/ToolAction.h"
#include "game/ViewfieldAction.h"
#include "input/KeyboardProcessor.h"
#include "levels/LevelFile.h"
#include "scenegraph/SampleCounter.h"
#include "scenegraph/SceneTestSupport.h"
#include "physics/PhysicVolume.h"
#include "physics/newton.h"
#include "support/FakeClock.h"
#include "support/GlTestWindow.h"
#include "support/SaveChecks.h"
#include "support/TempFolder.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZARVIK_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(ZARVIK_ASAN)
#define ZARVIK_ASAN 1
#endif
#ifdef ZARVIK_ASAN
// From the sanitizer runtime (its header does not come with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
extern "C" void __sanitizer_purge_allocator();
#else
#include <malloc.h>
#endif

namespace {

// Frames a little longer than the physics update period: the updater then
// simulates 0.0102 s per frame, so simulated and real time stay close.
constexpr double FRAME = 0.0101;
constexpr double SIMULATED_PER_FRAME = 0.0102;

class DemoLevelTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // The level's models and pictures open relative to the working directory.
        if (!GlTestWindow::ensureInGameDir()) return;
        clock = new FakeClock;
    }
    void SetUp() override {
        REQUIRE_GL();
        if (!shared) {
            KeyboardProcessor::reset();
            shared = std::make_shared<DemoLevel>();
            shared->preBuild();
            shared->build();
        }
        shared->reset();
        settle();
    }
    static void TearDownTestSuite() {
        shared.reset();
        KeyboardProcessor::reset();
        delete clock;
        clock = nullptr;
    }

    // Runs the level's frames (animations, physics, events; painting only
    // every tenth frame, to keep the test fast under the sanitizers).
    static void frames(int n) {
        for (int i = 0; i < n; ++i) {
            clock->advance(FRAME);
            if (i % 10 == 0) shared->display();
            else shared->getAnimator()->animate();
        }
    }
    static void settle() { frames(150); }  // the car drops 2 units onto its wheels

    static const Matrix& pose() { return *shared->getPlayerCar()->getPhysicVolume()->matrix; }

    // The picture of a moment: the third frame drawn while the clock stands
    // still, after the occlusion answers of the first two have come in.
    static std::vector<unsigned char> stillPicture();

    static FakeClock* clock;
    static std::shared_ptr<DemoLevel> shared;
};

FakeClock* DemoLevelTest::clock = nullptr;
std::shared_ptr<DemoLevel> DemoLevelTest::shared;

// The music rules' inner state, and the sound system started on the silent
// loopback output for one test (the level tests otherwise run without sound).
struct LevelAudio : AudioManager {
    using AudioManager::audiosystem;
    using AudioManager::backgroundChannel;
    using AudioManager::currentBackground;
    using AudioManager::huntCount;
    using AudioManager::huntingChannel;
    using AudioManager::output;
    LevelAudio() {
        output = SoundSystem::Output::LOOPBACK;
        init();
    }
    ~LevelAudio() { kill(); }
    static bool paused(Channel* channel) {
        bool p = false;
        return channel->getPaused(&p) == SoundResult::OK && p;
    }
    static bool muted(Channel* channel) {
        bool m = false;
        return channel->getMute(&m) == SoundResult::OK && m;
    }
};

}  // namespace

TEST_F(DemoLevelTest, BuildsTheWorldAroundTheStart) {
    auto car = shared->getPlayerCar();
    ASSERT_TRUE(car);
    ASSERT_TRUE(shared->getTerrain());
    EXPECT_EQ(shared->getSigns().size(), 4u);
    EXPECT_TRUE(shared->getRoot()->getCamera()->isFocusing());
    // Each sign carries its town plate on the mesh "face".
    for (const auto& sign : shared->getSigns()) {
        auto face = sign->getMesh("face");
        ASSERT_TRUE(face);
        EXPECT_TRUE(face->getTexture());
    }
    // Standing on its wheels at the start: the body is at the terrain height.
    EXPECT_NEAR(pose()[12], 0.0f, 0.05f);
    EXPECT_NEAR(pose()[14], 0.0f, 0.05f);
    EXPECT_NEAR(pose()[13], shared->height(0, 0), 0.3f);
}

TEST_F(DemoLevelTest, ThreeSecondsOfWDriveAboutTwentyNineUnitsAlongMinusZ) {
    const float startZ = pose()[14];
    KeyboardProcessor::processDown('w', 0, 0);
    const int n = static_cast<int>(std::lround(3.0 / SIMULATED_PER_FRAME));
    float lowestClearance = 1e9f, highestClearance = -1e9f;
    for (int i = 0; i < n; ++i) {
        frames(1);
        const float clearance = pose()[13] - shared->height(pose()[12], pose()[14]);
        lowestClearance = std::min(lowestClearance, clearance);
        highestClearance = std::max(highestClearance, clearance);
    }
    KeyboardProcessor::processUp('w', 0, 0);
    // 0.5 x 7 x (15/7)^2 + 15 x (3 - 15/7) = 28.93 over three simulated seconds.
    EXPECT_NEAR(startZ - pose()[14], 28.93f, 0.8f);
    EXPECT_NEAR(pose()[12], 0.0f, 0.3f);
    // On the ground all the way: the body follows the terrain's height.
    EXPECT_GT(lowestClearance, -0.1f);
    EXPECT_LT(highestClearance, 0.3f);
}

TEST_F(DemoLevelTest, DrivingIntoASignStartsItsGameAndTheRightKeysTakeItDown) {
    // The sign at (0, -200) stands across the road; start 20 units in front of it.
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 0, shared->height(0, -180) + 0.5f, -180);
    settle();
    KeyboardProcessor::processDown('w', 0, 0);
    frames(260);  // without the sign the car would be 25 units further, at z = -205
    KeyboardProcessor::processUp('w', 0, 0);
    frames(50);
    // Stopped where the trigger spheres meet (radii 1 + 2), before the plate at z = -199.98.
    EXPECT_GT(pose()[14], -199.0f);
    EXPECT_LT(pose()[14], -196.8f);
    EXPECT_NEAR(pose()[12], 0.0f, 0.5f);

    // The sign game runs: the steering is taken away and eight arrows show.
    auto sign = shared->getSigns()[3];
    std::shared_ptr<UnmountAction> unmount;
    for (const auto& event : shared->getEventManager()->events)
        if (event->getWith() == sign) unmount = std::dynamic_pointer_cast<UnmountAction>(event->getAction());
    ASSERT_TRUE(unmount && unmount->getConsumer());
    EXPECT_FALSE(shared->getCarControl()->enabled);
    int shown = 0;
    for (const auto& arrow : shared->getSequenceOverlays()->items) shown += arrow->visible ? 1 : 0;
    EXPECT_EQ(shown, 8);

    // Direction codes 0 right, 1 up, 2 left, 3 down are typed as d, w, a, s.
    const std::vector<int> row = unmount->getConsumer()->getSequence();
    for (int code : row) {
        KeyboardProcessor::processDown("dwas"[code], 0, 0);
        KeyboardProcessor::processUp("dwas"[code], 0, 0);
    }
    EXPECT_TRUE(unmount->getSign()->dismounted);
    EXPECT_FALSE(sign->getMesh("face")->visible);
    EXPECT_FALSE(sign->getMesh("backside")->visible);
    EXPECT_TRUE(shared->getCarControl()->enabled);
    EXPECT_FALSE(shared->getSignStates()->updateUnmountStates()) << "three signs still stand";

    shared->reset();  // the sign stands again
    EXPECT_FALSE(unmount->getSign()->dismounted);
    EXPECT_TRUE(sign->getMesh("face")->visible);
    EXPECT_TRUE(sign->getMesh("backside")->visible);
}

TEST_F(DemoLevelTest, ACatchDuringASignGameEndsItWithThePlateUpAndTheKeysIdle) {
    // The car drives into the sign at (0, -200) from 15 units before it: 0.5 x 7 x 2.04^2 = 14.5.
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 0, shared->height(0, -185) + 0.5f, -185);
    settle();
    KeyboardProcessor::processDown('w', 0, 0);
    frames(200);
    KeyboardProcessor::processUp('w', 0, 0);
    frames(50);
    auto sign = shared->getSigns()[3];
    std::shared_ptr<UnmountAction> unmount;
    for (const auto& event : shared->getEventManager()->events)
        if (event->getWith() == sign) unmount = std::dynamic_pointer_cast<UnmountAction>(event->getAction());
    ASSERT_TRUE(unmount && unmount->getConsumer() && unmount->getConsumer()->isRunning());
    const std::vector<int> row = unmount->getConsumer()->getSequence();
    ASSERT_EQ(row.size(), 8u);
    auto type = [](char key) {
        KeyboardProcessor::processDown(key, 0, 0);
        KeyboardProcessor::processUp(key, 0, 0);
    };
    for (int i = 0; i < 3; ++i) type("dwas"[row[i]]);
    ASSERT_EQ(unmount->getConsumer()->getSequencePosition(), 3);

    // The first pursuer, hunting, comes from 8 units behind the car and catches it.
    auto hunter = shared->getHunters()[0];
    DemoLevel::putBack(*hunter->getCar(), pose()[12], shared->height(pose()[12], pose()[14] + 8) + 0.5f,
                       pose()[14] + 8);
    HunterAI::BLIND = false;
    hunter->enterHuntingState();
    for (int i = 0; i < 500 && !shared->isCaught(); ++i) frames(1);
    ASSERT_TRUE(shared->isCaught() && AudioManager::isMusicHeld());
    auto catchAction = std::dynamic_pointer_cast<CatchAction>(shared->getEventManager()->events[1]->getAction());
    ASSERT_TRUE(catchAction);
    auto stack = shared->getMessageStack();

    // The game is over: no arrow left, the row no longer judged.
    EXPECT_FALSE(unmount->getConsumer()->isRunning());
    EXPECT_FALSE(shared->getSequenceOverlays()->visible);
    for (const auto& arrow : shared->getSequenceOverlays()->items) EXPECT_FALSE(arrow->visible);
    // The rest of the row takes nothing down and shows no "sign dismantled"...
    for (size_t i = 3; i < row.size(); ++i) type("dwas"[row[i]]);
    EXPECT_FALSE(unmount->getSign()->dismounted);
    EXPECT_TRUE(sign->getMesh("face")->visible);
    EXPECT_TRUE(sign->getMesh("backside")->visible);
    ASSERT_FALSE(stack->getStack().empty());
    EXPECT_EQ(stack->getStack().back(), catchAction->loserBoard);
    // ...a wrong key shows no "wrong key" over "busted", and the car stays.
    type(row[0] == 1 ? 's' : 'w');
    EXPECT_EQ(stack->getStack().back(), catchAction->loserBoard);
    EXPECT_FALSE(shared->getCarControl()->enabled);
    const float caughtZ = pose()[14];
    KeyboardProcessor::processDown('s', 0, 0);
    frames(100);
    KeyboardProcessor::processUp('s', 0, 0);
    EXPECT_NEAR(pose()[14], caughtZ, 1.0f);

    // r: the steering back, the sign standing, no game, no picture.
    shared->reset();
    EXPECT_TRUE(shared->getCarControl()->enabled);
    EXPECT_FALSE(shared->isCaught() || AudioManager::isMusicHeld());
    EXPECT_TRUE(stack->getStack().empty());
    EXPECT_FALSE(unmount->getSign()->dismounted);
    for (const auto& arrow : shared->getSequenceOverlays()->items) EXPECT_FALSE(arrow->visible);
}

TEST_F(DemoLevelTest, TheRaceStartsOnLeavingTheStartAreaAndIsJudgedOnReturn) {
    auto watch = shared->getStopWatch();
    auto stack = shared->getMessageStack();
    auto timer = shared->getTimerAction();
    const auto& signs = shared->getSignStates()->getSigns();
    ASSERT_EQ(signs.size(), 4u);
    // Drives with a key held until the car's distance from the start crosses
    // 30 units plus the car's radius 1 (the spheres stop touching at 31).
    auto driveUntil = [&](char key, bool outside) {
        KeyboardProcessor::processDown(key, 0, 0);
        for (int i = 0; i < 1500 && (std::hypot(pose()[12], pose()[14]) > 31.0f) != outside; ++i) frames(1);
        KeyboardProcessor::processUp(key, 0, 0);
        frames(30);
    };

    // Standing in the area after the reset: no enter, no picture, the watch at zero.
    EXPECT_TRUE(shared->getStartEvent()->getWasColliding());
    EXPECT_TRUE(stack->getStack().empty());
    EXPECT_FALSE(watch->isRunning());
    EXPECT_EQ(watch->getTotalTime(), 0.0);

    EXPECT_TRUE(HunterAI::BLIND);
    driveUntil('w', true);
    EXPECT_TRUE(watch->isRunning());
    EXPECT_TRUE(stack->getStack().empty());
    EXPECT_FALSE(HunterAI::BLIND) << "the pursuers may see the player from now on";

    // Back in reverse with three signs down: told to go on, the watch runs on.
    for (int i = 0; i < 3; ++i) signs[i]->dismounted = true;
    driveUntil('s', false);
    ASSERT_FALSE(stack->getStack().empty());
    EXPECT_EQ(stack->getStack().back(), timer->getUnfinishedBoard());
    EXPECT_TRUE(watch->isRunning());

    // Out again (the picture goes), the last sign down, and back: won.
    driveUntil('w', true);
    EXPECT_TRUE(stack->getStack().empty());
    signs[3]->dismounted = true;
    driveUntil('s', false);
    ASSERT_FALSE(stack->getStack().empty());
    EXPECT_EQ(stack->getStack().back(), timer->getWinnerBoard());
    EXPECT_FALSE(watch->isRunning());
    EXPECT_TRUE(HunterAI::BLIND);
    for (const auto& hunter : shared->getHunters()) EXPECT_EQ(hunter->getState(), HunterAI::STRAFING);
    const double result = watch->getTotalTime();
    EXPECT_GT(result, 3.0);  // at least the four crossings of some 30 units
    frames(50);
    EXPECT_EQ(watch->getTotalTime(), result);

    // Leaving after a win only takes the picture away.
    driveUntil('w', true);
    EXPECT_TRUE(stack->getStack().empty());
    EXPECT_FALSE(watch->isRunning());
}

TEST_F(DemoLevelTest, SixtySevenEventsInTheOrderTheyAreChecked) {
    const auto& events = shared->getEventManager()->events;
    const auto& hunters = shared->getHunters();
    ASSERT_EQ(hunters.size(), 8u);
    ASSERT_EQ(events.size(), 67u);  // 8 x (view + catch) + 4 x (sign + 8 checkpoints) + start + 14 items
    size_t i = 0;
    auto next = [&] { return events[i++]; };
    for (const auto& hunter : hunters) {
        EXPECT_TRUE(std::dynamic_pointer_cast<ViewfieldAction>(events[i]->getAction()));
        EXPECT_EQ(next()->getWith(), hunter->getViewfield());
        EXPECT_TRUE(std::dynamic_pointer_cast<CatchAction>(events[i]->getAction()));
        EXPECT_EQ(next()->getWith(), hunter->getCar());
    }
    for (const auto& sign : shared->getSigns()) {
        EXPECT_TRUE(std::dynamic_pointer_cast<UnmountAction>(events[i]->getAction()));
        EXPECT_EQ(next()->getWith(), sign);
        for (const auto& hunter : hunters) {
            EXPECT_TRUE(std::dynamic_pointer_cast<CheckpointAction>(events[i]->getAction()));
            EXPECT_EQ(next()->getObj(), hunter->getCar());
        }
        EXPECT_EQ(hunters[0]->getCheckpoints().size(), 4u);
    }
    EXPECT_EQ(next(), shared->getStartEvent());
    const std::string kinds = "BBBTTEEAAAOOOO";  // booze, tool, engine, anti-hunter, overkill
    for (char kind : kinds) {
        auto action = next()->getAction();
        const bool right = (kind == 'B' && std::dynamic_pointer_cast<BoozeAction>(action)) ||
                           (kind == 'T' && std::dynamic_pointer_cast<ToolAction>(action)) ||
                           (kind == 'E' && std::dynamic_pointer_cast<EngineAction>(action)) ||
                           (kind == 'A' && std::dynamic_pointer_cast<AntiHunterAction>(action)) ||
                           (kind == 'O' && std::dynamic_pointer_cast<OverkillAction>(action));
        EXPECT_TRUE(right) << "item event " << i - 54 << " is not of kind " << kind;
    }

    // The first booze and the first anti-hunter item share (195, 0): one frame takes both.
    DemoLevel::putBack(*shared->getPlayerCar(), 195, shared->height(195, 0) + 0.5f, 0);
    frames(1);
    EXPECT_TRUE(shared->getItems()[0]->isInfluenceActive());
    EXPECT_TRUE(shared->getItems()[7]->isInfluenceActive());
    EXPECT_EQ(hunters[7]->getViewfield()->getEventSphere()->radius, 0.0f);
}

TEST_F(DemoLevelTest, APursuerCatchesTheParkedCarAndTheResetBringsBackTheStart) {
    auto car = shared->getPlayerCar();
    auto movement = shared->getCarMovement();
    const auto& hunters = shared->getHunters();
    // Parked 8 units beside the first pursuer, inside its view sphere; it
    // sees the player only as the player comes in.
    auto hunter = hunters[0];
    auto parkBesideHunter = [&] {
        const Vector p = HunterAI::positionOf(*hunter->getCar());
        const float x = float(p.x) + 8.0f, z = float(p.z);
        DemoLevel::putBack(*car, x, shared->height(x, z) + 0.5f, z);
        frames(2);
    };
    parkBesideHunter();
    frames(50);
    EXPECT_EQ(hunter->getState(), HunterAI::STRAFING) << "blind before the race";

    auto takeItemAt = [&](float x, float z) {
        DemoLevel::putBack(*car, x, shared->height(x, z) + 0.5f, z);
        frames(2);
    };
    takeItemAt(25, 0);    // a tool: the next sign game is shorter
    takeItemAt(-25, -10);  // an engine: twice the acceleration and speed limits
    EXPECT_EQ(UnmountAction::SEQUENCE_LENGTH_FACTOR, 0.5f);
    EXPECT_EQ(movement->maxSpeed, 30.0);
    // A left turn out of the start area: the race starts, the wanted heading is no longer north.
    KeyboardProcessor::processDown('w', 0, 0);
    KeyboardProcessor::processDown('a', 0, 0);
    frames(100);
    KeyboardProcessor::processUp('a', 0, 0);
    KeyboardProcessor::processUp('w', 0, 0);
    EXPECT_GT(std::fabs(movement->getHeading() + HALF_PI), 0.5);
    EXPECT_FALSE(HunterAI::BLIND);
    auto sign = shared->getSignStates()->getSigns()[0];
    sign->dismounted = true;
    sign->showPlate(false);

    parkBesideHunter();
    for (int i = 0; i < 1000 && !shared->isCaught(); ++i) frames(1);
    ASSERT_TRUE(shared->isCaught() && AudioManager::isMusicHeld());
    // A game that plays itself sees the catch and ends with status 3 (a win ends with 0).
    {
        Autoplay autoplay(shared);
        EXPECT_EQ(Autoplay::exitStatus(autoplay.getOutcome()), -1) << "playing on";
        testing::internal::CaptureStdout();
        EXPECT_EQ(autoplay.step(), Autoplay::CAUGHT);
        EXPECT_NE(testing::internal::GetCapturedStdout().find("autoplay: caught by "), std::string::npos);
        EXPECT_EQ(Autoplay::exitStatus(autoplay.getOutcome()), 3);
        EXPECT_EQ(Autoplay::exitStatus(Autoplay::WON), 0);
    }
    EXPECT_EQ(hunter->getState(), HunterAI::HUNTING);
    auto catchAction = std::dynamic_pointer_cast<CatchAction>(shared->getEventManager()->events[1]->getAction());
    ASSERT_TRUE(catchAction);
    EXPECT_EQ(shared->getMessageStack()->getStack().back(), catchAction->loserBoard);
    EXPECT_FALSE(shared->getCarControl()->enabled);
    const float caughtX = pose()[12], caughtZ = pose()[14];
    KeyboardProcessor::processDown('w', 0, 0);  // ignored: the car stays where it was caught
    frames(100);
    KeyboardProcessor::processUp('w', 0, 0);
    EXPECT_LT(std::hypot(pose()[12] - caughtX, pose()[14] - caughtZ), 1.0f);
    takeItemAt(0, 25);  // an anti-hunter item: every view sphere shrinks to nothing
    EXPECT_EQ(hunters[7]->getViewfield()->getEventSphere()->radius, 0.0f);

    shared->reset();
    // Every pursuer at its start place, standing, facing north, patrolling, seeing 25 (50) units.
    const float starts[][2] = {{100, 0}, {0, 100}, {-100, 0}, {0, -100}, {100, 100}, {-100, 100}, {100, -100}, {-150, 150}};
    for (size_t h = 0; h < hunters.size(); ++h) {
        auto c = hunters[h]->getCar();
        EXPECT_EQ(c->getXpos(), starts[h][0]);
        EXPECT_EQ(c->getZpos(), starts[h][1]);
        EXPECT_FLOAT_EQ(c->getYpos(), shared->height(starts[h][0], starts[h][1]) + 2.0f);
        EXPECT_FLOAT_EQ(hunters[h]->getMovement()->getHeading(), -HALF_PI);
        EXPECT_EQ(hunters[h]->getMovement()->speed, 0.0f);
        EXPECT_EQ(hunters[h]->getState(), HunterAI::STRAFING);
        EXPECT_EQ(hunters[h]->getViewfield()->getEventSphere()->radius, h == 7 ? 50.0f : 25.0f);
    }
    EXPECT_TRUE(HunterAI::BLIND);
    EXPECT_FALSE(shared->isCaught() || AudioManager::isMusicHeld());
    EXPECT_TRUE(shared->getMessageStack()->getStack().empty());
    EXPECT_TRUE(shared->getCarControl()->enabled);
    EXPECT_FLOAT_EQ(movement->getHeading(), -HALF_PI);
    // Items back, effects undone, icons hidden; the sign stands.
    for (const auto& item : shared->getItems()) {
        EXPECT_TRUE(item->isItemPresent());
        EXPECT_FALSE(item->isInfluenceActive());
        EXPECT_FALSE(item->getOverlay()->visible);
        const auto node = item->getItem();
        EXPECT_FLOAT_EQ(node->getYpos(), shared->height(node->getXpos(), node->getZpos()) + 0.5f);
    }
    EXPECT_EQ(UnmountAction::SEQUENCE_LENGTH_FACTOR, 1.0f);
    EXPECT_EQ(movement->acceleration, 7.0);
    EXPECT_EQ(movement->maxSpeed, 15.0);
    EXPECT_EQ(movement->maxReverseSpeed, -7.0);
    EXPECT_FALSE(sign->dismounted);
    settle();
    EXPECT_GT(pose()[10], 0.999f) << "the car keeps facing north after the reset";
}

TEST_F(DemoLevelTest, AChaseThatAnOverkillItemJoinedEndsWithTheBackgroundMusicBack) {
    LevelAudio audio;
    ASSERT_TRUE(LevelAudio::audiosystem);
    auto car = shared->getPlayerCar();
    auto driveTo = [&](float x, float z) {
        DemoLevel::putBack(*car, x, shared->height(x, z) + 0.5f, z);
        frames(2);
    };
    std::shared_ptr<ItemAction> overkill;
    for (const auto& item : shared->getItems())
        if (std::dynamic_pointer_cast<OverkillAction>(item) && item->getItem()->getXpos() == -100.0f &&
            item->getItem()->getZpos() == -100.0f)
            overkill = item;
    ASSERT_TRUE(overkill);
    const auto& hunters = shared->getHunters();
    auto huntingCount = [&] {
        return std::count_if(hunters.begin(), hunters.end(), [](auto& h) { return h->getState() == HunterAI::HUNTING; });
    };

    driveTo(-60, -60);  // out of the start area, out of every view sphere: the race and its music start
    ASSERT_FALSE(HunterAI::BLIND);
    ASSERT_EQ(LevelAudio::currentBackground, LevelAudio::backgroundChannel);
    driveTo(-100, -100);  // the overkill item: all eight pursuers hunt
    EXPECT_EQ(huntingCount(), 8);
    EXPECT_EQ(LevelAudio::huntCount, 8);
    const Vector p = HunterAI::positionOf(*hunters[0]->getCar());
    driveTo(float(p.x) + 8.0f, float(p.z));  // into the view sphere of a pursuer that hunts already
    EXPECT_EQ(LevelAudio::huntCount, 8) << "a hunting pursuer is counted once";
    EXPECT_TRUE(LevelAudio::muted(LevelAudio::backgroundChannel));
    EXPECT_FALSE(LevelAudio::paused(LevelAudio::huntingChannel));

    overkill->animate(overkill->getInfluenceDuration() - overkill->getElapsed() + FRAME);  // the overkill's end
    EXPECT_EQ(huntingCount(), 0);
    driveTo(-60, -60);  // out of the sphere again: nobody hunted there any more
    EXPECT_EQ(LevelAudio::huntCount, 0);
    EXPECT_TRUE(LevelAudio::paused(LevelAudio::huntingChannel));
    EXPECT_EQ(LevelAudio::currentBackground, LevelAudio::backgroundChannel);
    EXPECT_FALSE(LevelAudio::paused(LevelAudio::backgroundChannel) || LevelAudio::muted(LevelAudio::backgroundChannel));
    std::vector<float> heard(2 * 8192);
    ASSERT_EQ(LevelAudio::audiosystem->mix(heard.data(), 8192), SoundResult::OK);
    double sum = 0;
    for (size_t i = 2 * 4096; i < heard.size(); ++i) sum += heard[i] * heard[i];  // after the unmute's fade
    EXPECT_GT(std::sqrt(sum / (heard.size() - 2 * 4096)), 0.01) << "the background music is heard";
}

namespace {
// Lays a car down where it is put, rolled about its length: 90 degrees on
// its side, 180 on its roof, half a unit above the ground.
void overturn(GeometryNode& car, float x, float z, float roll, float ground) {
    DemoLevel::putBack(car, x, ground + 0.5f, z);
    Matrix& m = *car.getPhysicVolume()->matrix;
    m.rotateZ(roll * PI_OVER_180);
    NewtonBodySetMatrix(car.getPhysicVolume()->body, m.data());
}
}  // namespace

TEST_F(DemoLevelTest, CarsOnTheirRoofStandUpAgainAndDriveOn) {
    auto movement = shared->getCarMovement();
    auto watch = shared->getStopWatch();
    auto hunter = shared->getHunters()[0];
    auto hunterMovement = hunter->getMovement();
    ASSERT_FALSE(movement->isOverturned());
    EXPECT_EQ(movement->getOverturnedTime(), 0.0) << "on its wheels since the drop";

    // Leaning 45 degrees a car is on its wheels, at 90 on its side (which it
    // does not stay on: it falls back onto its wheels).
    overturn(*shared->getPlayerCar(), 0, 0, 45, shared->height(0, 0));
    EXPECT_FALSE(movement->isOverturned());
    overturn(*shared->getPlayerCar(), 0, 0, 90, shared->height(0, 0));
    EXPECT_TRUE(movement->isOverturned());

    // The player's car on its roof, the race time running: it lies three seconds.
    watch->start();
    overturn(*shared->getPlayerCar(), 0, 0, 180, shared->height(0, 0));
    frames(100);
    ASSERT_TRUE(movement->isOverturned());
    const double lying = 2.8 - movement->getOverturnedTime();
    frames(static_cast<int>(lying / SIMULATED_PER_FRAME));
    EXPECT_TRUE(movement->isOverturned()) << "after " << movement->getOverturnedTime() << " s";
    frames(static_cast<int>(0.4 / SIMULATED_PER_FRAME));
    EXPECT_FALSE(movement->isOverturned());
    settle();
    EXPECT_GT(pose()[5], 0.99f) << "on its wheels";
    EXPECT_NEAR(std::hypot(pose()[12], pose()[14]), 0.0f, 0.5f) << "where it lay";
    EXPECT_GT(pose()[10], 0.99f) << "facing north as before";
    EXPECT_TRUE(watch->isRunning());
    const float z = pose()[14];
    KeyboardProcessor::processDown('w', 0, 0);
    frames(100);
    KeyboardProcessor::processUp('w', 0, 0);
    EXPECT_LT(pose()[14], z - 3.0f) << "0.5 x 7 x 1.02^2 = 3.6 units north";
    watch->stop();

    // A hunting pursuer lands on its roof beside the car, at its goal: it
    // gets no nearer, and three seconds later it stands facing the car.
    // Both a little west of the start, clear of the chalet east of it; the
    // pursuer stopped first, as the level's reset does.
    const float hx = -10.0f, hz = 12.0f;
    DemoLevel::putBack(*shared->getPlayerCar(), hx - 2.0f, shared->height(hx - 2.0f, hz) + 0.5f, hz);
    movement->takeHeadingFromCar();
    settle();
    HunterAI::BLIND = false;
    hunter->enterHuntingState();
    hunterMovement->stop();
    overturn(*hunter->getCar(), hx, hz, 180, shared->height(hx, hz));
    hunterMovement->takeHeadingFromCar();
    int framesLying = 0;
    for (; framesLying < 1000 && (framesLying < 20 || hunterMovement->isOverturned()); ++framesLying) frames(1);
    EXPECT_NEAR(framesLying * FRAME, 3.0, 0.3) << "stuck for three seconds";
    const Vector p = HunterAI::positionOf(*hunter->getCar());
    Vector goal = HunterAI::positionOf(*shared->getPlayerCar());
    const double towardsGoal = std::atan2(goal.z - p.z, p.x - goal.x);
    EXPECT_NEAR(std::remainder(hunterMovement->getHeading() - towardsGoal, TWO_PI), 0.0, 0.1);
    // It follows the car put 20 units further west.
    DemoLevel::putBack(*shared->getPlayerCar(), hx - 22.0f, shared->height(hx - 22.0f, hz) + 0.5f, hz);
    frames(2);
    goal = HunterAI::positionOf(*shared->getPlayerCar());
    frames(200);
    EXPECT_FALSE(hunterMovement->isOverturned());
    EXPECT_LT(Vector::distance(HunterAI::positionOf(*hunter->getCar()), goal), 10.0) << "driving on";
}

TEST_F(DemoLevelTest, TheTerrainsWallsKeepTheCarIn) {
    // 15 units before the north edge of the terrain (z = -300), heading north.
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 40, shared->height(40, -285) + 0.5f, -285);
    settle();
    KeyboardProcessor::processDown('w', 0, 0);
    frames(400);  // enough for 40 units
    KeyboardProcessor::processUp('w', 0, 0);
    frames(50);
    EXPECT_LT(pose()[14], -295.0f);  // it reached the edge...
    EXPECT_GT(pose()[14], -300.0f);  // ...and stayed on the terrain
    EXPECT_GT(pose()[13], shared->height(pose()[12], pose()[14]) - 0.5f);
}

TEST_F(DemoLevelTest, ResetPutsTheCarBackAboveTheStart) {
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 50, 20, 50);
    shared->reset();
    EXPECT_FLOAT_EQ(car->getXpos(), 0.0f);
    EXPECT_FLOAT_EQ(car->getYpos(), shared->height(0, 0) + 2.0f);
    EXPECT_FLOAT_EQ(pose()[13], shared->height(0, 0) + 2.0f);
    EXPECT_FLOAT_EQ(car->getYrot(), 0.0f);
}

TEST_F(DemoLevelTest, HudPicturesShowInTheirSlotsAndMessagesOnTheStack) {
    // The game's projection on the test window; a HUD change shows one frame later.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.1, 450.0);
    glMatrixMode(GL_MODELVIEW);
    auto frame = [] {
        clock->advance(FRAME);
        ScenegraphNode::beginFrame();
        shared->display();
        glFinish();
    };
    auto pixelAt = [](double x, double y) {  // an eye-space point at z = -1
        int wx, wy;
        eyeToWindow(x, y, -1, wx, wy);
        const auto p = GlTestWindow::readPixel(wx, wy);
        return p.r + p.g + p.b;
    };
    // The arrow row: slot k at x = -0.45 + 0.11 k, y = 0.
    auto row = [&] {
        std::vector<int> seen;
        for (int k = 0; k < DemoLevel::ARROW_SLOTS; ++k) seen.push_back(pixelAt(-0.45 + 0.11 * k, 0));
        return seen;
    };
    auto arrows = shared->getSequenceOverlays();
    ASSERT_EQ(arrows->items.size(), 8u);
    frame();
    frame();
    for (const auto& arrow : arrows->items) EXPECT_FALSE(arrow->getBillboard()->active);
    const std::vector<int> empty = row();

    arrows->items[2]->visible = true;
    arrows->items[5]->visible = true;
    frame();
    frame();
    const std::vector<int> two = row();
    for (int k = 0; k < DemoLevel::ARROW_SLOTS; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << k);
        if (k == 2 || k == 5) EXPECT_GT(std::abs(two[k] - empty[k]), 60) << "an arrow shows";
        else EXPECT_LT(std::abs(two[k] - empty[k]), 20) << "nothing changed";
    }
    for (const auto& arrow : arrows->items) arrow->visible = false;

    // A message on the stack: centred 0.3 above the middle, 1 wide and 0.5 high.
    const int before = pixelAt(0, 0.3);
    auto stack = shared->getMessageStack();
    auto message = shared->loadBillboard("images/got_sign.png");
    stack->push(message);
    frame();
    frame();
    EXPECT_TRUE(message->active);
    EXPECT_GT(std::abs(pixelAt(0, 0.3) - before), 60);
    shared->reset();  // takes every message off
    settle();  // the car drops back onto its wheels: the same view as before
    frame();
    EXPECT_FALSE(message->active);
    EXPECT_TRUE(stack->getStack().empty());
    EXPECT_LT(std::abs(pixelAt(0, 0.3) - before), 20);
}

// After its first frame the level reads its six message boards on the
// picture reader's thread: each then shows its picture without reading its
// file in the frame that shows it (here from a folder without the pictures).
TEST_F(DemoLevelTest, TheMessageBoardsAreReadAheadAndShowWithoutTheirFiles) {
    const std::vector<std::shared_ptr<Billboard>> boards = shared->getMessageBoards();
    ASSERT_EQ(boards.size(), 6u);
    for (const auto& board : boards) board->getQuad()->unloadUntilDrawn();  // as if none had been shown
    for (const auto& board : boards) ASSERT_FALSE(board->getQuad()->isPictureLoaded());
    shared->readAheadShownLater();
    Texture2D::finishReadingAhead();

    const std::filesystem::path gameDir = std::filesystem::current_path();
    char elsewhere[] = "/tmp/zarvik-boards-XXXXXX";
    ASSERT_NE(mkdtemp(elsewhere), nullptr);
    std::filesystem::current_path(elsewhere);
    testing::internal::CaptureStdout();
    auto stack = shared->getMessageStack();
    for (const auto& board : boards) {
        stack->push(board);
        for (int frame = 0; frame < 2; ++frame) {  // shown from the frame after the push
            clock->advance(FRAME);
            ScenegraphNode::beginFrame();
            shared->display();
        }
    }
    const std::string out = testing::internal::GetCapturedStdout();
    std::filesystem::current_path(gameDir);
    std::filesystem::remove(elsewhere);
    for (const auto& board : boards) {
        EXPECT_TRUE(board->getQuad()->isPictureLoaded());
        EXPECT_TRUE(board->getQuad()->getTexture()->hasPicture()) << board->getQuad()->getTexture()->getFileName();
    }
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    shared->reset();
    settle();
}

TEST_F(DemoLevelTest, SkyCarriesTheSunsFlareAndDriftingClouds) {
    auto flare = shared->getLensFlare();
    ASSERT_TRUE(flare);
    ASSERT_EQ(flare->getQuads().size(), 4u);
    for (const auto& quad : flare->getQuads()) EXPECT_NE(quad->getTexture()->getTextureName(), 0u);
    // Every sign glows blue through its halo.
    for (const auto& sign : shared->getSigns()) {
        std::shared_ptr<Halo> halo;
        for (const auto& child : sign->getChildren())
            if (auto h = std::dynamic_pointer_cast<Halo>(child)) halo = h;
        ASSERT_TRUE(halo);
        EXPECT_FLOAT_EQ(halo->getMaterial()->emission[2], 1.0f);
        EXPECT_FLOAT_EQ(halo->getScalex(), 10.0f);
    }
    // 0.001 texture widths per second along u, 0.0005 along v: 10 s move the
    // clouds by 0.01 and 0.005.
    auto clouds = shared->getClouds();
    const float u = clouds->getTexCoords()[0], v = clouds->getTexCoords()[1];
    const int n = static_cast<int>(std::lround(10.0 / FRAME));
    for (int i = 0; i < n; ++i) {
        clock->advance(FRAME);
        shared->getAnimator()->animate();
    }
    EXPECT_NEAR(clouds->getTexCoords()[0] - u, 0.01f, 1e-4f);
    EXPECT_NEAR(clouds->getTexCoords()[1] - v, 0.005f, 1e-4f);
}

TEST_F(DemoLevelTest, APauseFreezesTheWholeGameAndResumesWithoutATimeJump) {
    auto levelKeys = std::make_shared<LevelControl>(shared);
    KeyboardProcessor::registerConsumer(levelKeys);
    auto watch = shared->getStopWatch();
    auto movement = shared->getCarMovement();
    const auto& items = shared->getItems();
    // Everything that moves by itself: the car, the pursuers, the items' turn, the race time.
    auto snapshot = [&] {
        std::vector<double> s = {pose()[12], pose()[14]};
        for (const auto& hunter : shared->getHunters()) {
            const Vector p = HunterAI::positionOf(*hunter->getCar());
            s.insert(s.end(), {p.x, p.z});
        }
        for (const auto& item : items) s.push_back(item->getItem()->getYrot());
        s.push_back(watch->getTotalTime());
        return s;
    };
    auto paintedFrame = [] {
        clock->advance(FRAME);
        shared->display();
    };
    watch->start();
    KeyboardProcessor::processDown('w', 0, 0);
    frames(60);  // rolling, the pursuers on patrol
    std::vector<double> before = snapshot();
    paintedFrame();
    std::vector<double> after = snapshot();
    for (size_t i = 0; i < before.size(); ++i) EXPECT_NE(before[i], after[i]) << "value " << i << " stands still anyway";

    KeyboardProcessor::processDown('p', 0, 0);
    ASSERT_TRUE(shared->isPaused());
    EXPECT_TRUE(shared->getPauseOverlay()->visible);
    EXPECT_TRUE(AudioManager::isAllPaused());
    const std::vector<double> frozen = snapshot();
    KeyboardProcessor::processUp('w', 0, 0);    // let go during the pause: it does not stick
    KeyboardProcessor::processDown('a', 0, 0);  // pressed during the pause and held: ignored
    for (int i = 0; i < 100; ++i) paintedFrame();
    EXPECT_EQ(snapshot(), frozen);
    EXPECT_TRUE(watch->isRunning());

    KeyboardProcessor::processDown('p', 0, 0);
    ASSERT_FALSE(shared->isPaused());
    EXPECT_FALSE(shared->getPauseOverlay()->visible);
    EXPECT_FALSE(AudioManager::isAllPaused());
    EXPECT_FALSE(movement->isAccelerating());
    EXPECT_FALSE(movement->isSteeringLeft());
    // The first frame after the pause counts one frame's time, not 1.01 s more.
    paintedFrame();
    EXPECT_NEAR(shared->getAnimator()->getTimeBase()->getElapsedTime(), FRAME, 1e-9);
    EXPECT_NEAR(watch->getTotalTime() - frozen.back(), FRAME, 1e-9);
    const size_t firstItem = 2 + 2 * shared->getHunters().size();
    const float turned = std::remainder(items[0]->getItem()->getYrot() - float(frozen[firstItem]), 360.0f);
    EXPECT_NEAR(turned, 360.0 * FRAME, 0.01) << "an item turns by one frame's angle";
    const double rolled = std::hypot(pose()[12] - frozen[0], pose()[14] - frozen[1]);
    EXPECT_LT(rolled, 15.0 * 2 * FRAME) << "at most one frame at top speed";

    KeyboardProcessor::processUp('a', 0, 0);
    KeyboardProcessor::unregisterConsumer(levelKeys);
    watch->stop();
}

TEST_F(DemoLevelTest, AWonRaceKeepsItsTimeWhenItIsTheBest) {
    const auto folder = std::filesystem::path(testing::TempDir()) / ("zarvik-level-records-" + std::to_string(getpid()));
    const auto file = folder / "records";
    std::filesystem::remove_all(folder);
    auto hud = shared->getBestTimeHud();
    shared->setBestTimes(std::make_shared<BestTimes>(file.string()));
    EXPECT_EQ(hud->getBestOverlay()->getText(), "Best: -");
    // A race of 12.3456 s: every sign down, back in the start area.
    auto watch = shared->getStopWatch();
    auto winIn = [&](double seconds) {
        watch->reset();
        watch->start();
        clock->advance(seconds);
        watch->update();
        for (const auto& sign : shared->getSignStates()->getSigns()) sign->dismounted = true;
        shared->getTimerAction()->enter();
    };
    winIn(12.3456);
    EXPECT_FALSE(watch->isRunning());
    EXPECT_EQ(hud->getBestOverlay()->getText(), "Best: 0:00:12.345");
    EXPECT_TRUE(hud->getAnnouncement()->visible);
    EXPECT_EQ(hud->getAnnouncement()->getText(), "New best time!");
    EXPECT_TRUE(std::filesystem::exists(file));

    hud->getAnnouncement()->visible = false;
    winIn(20.0);  // slower: nothing changes
    EXPECT_EQ(hud->getBestOverlay()->getText(), "Best: 0:00:12.345");
    EXPECT_FALSE(hud->getAnnouncement()->visible);

    // The next game reads the record back.
    shared->setBestTimes(std::make_shared<BestTimes>(file.string()));
    EXPECT_EQ(hud->getBestOverlay()->getText(), "Best: 0:00:12.345");
    shared->setBestTimes(nullptr);
    EXPECT_EQ(hud->getBestOverlay()->getText(), "Best: -");
    std::filesystem::remove_all(folder);
}

namespace {
// Resident memory of this process in bytes (the second field of /proc/self/statm,
// in pages), after the allocator gave back what it holds of freed blocks:
// AddressSanitizer keeps them in quarantine, which would look like growth.
long residentBytes() {
#ifdef ZARVIK_ASAN
    __sanitizer_purge_allocator();
#else
    malloc_trim(0);
#endif
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return -1;
    const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}

// Bytes of live heap blocks, as the allocator counts them.
long heapBytes() {
#ifdef ZARVIK_ASAN
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<long>(mallinfo2().uordblks);
#endif
}
}  // namespace

TEST_F(DemoLevelTest, ResetsInARowLeaveMemoryFlatAndNoGlError) {
    constexpr int WARM_UP = 10, RESETS = 1000;
    while (glGetError() != GL_NO_ERROR) {
    }
    // A reset and one painted frame after it, as r in the game.
    auto cycles = [](int n) {
        for (int i = 0; i < n; ++i) {
            shared->reset();
            clock->advance(FRAME);
            ScenegraphNode::beginFrame();
            shared->display();
        }
    };
    cycles(WARM_UP);
    const long rss0 = residentBytes(), heap0 = heapBytes();
    const auto start = std::chrono::steady_clock::now();
    const int half = (RESETS - WARM_UP) / 2;
    cycles(half);
    const long rss1 = residentBytes(), heap1 = heapBytes();
    cycles(RESETS - WARM_UP - half);
    const long rss2 = residentBytes(), heap2 = heapBytes();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\n%d resets in %.1f s: resident %+ld KB then %+ld KB, heap %+ld KB then %+ld KB\n", RESETS - WARM_UP,
                seconds, (rss1 - rss0) / 1024, (rss2 - rss1) / 1024, (heap1 - heap0) / 1024, (heap2 - heap1) / 1024);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // Even a leak of a few hundred bytes per reset shows in the live heap.
    EXPECT_LT(heap2 - heap0, 256L << 10) << "a leak of about " << (heap2 - heap0) / (RESETS - WARM_UP)
                                         << " bytes per reset";
#ifdef ZARVIK_ASAN
    // AddressSanitizer's quarantine (256 MB) keeps freed blocks resident
    // until it is full, and purging gives back only part of it: in a fresh
    // test program the first few hundred resets add some 30 MB that way (with
    // ASAN_OPTIONS=quarantine_size_mb=1, 0.3 MB). The second half, with the
    // quarantine full, shows what the process itself keeps.
    EXPECT_LT(rss2 - rss1, 2L << 20);
#else
    EXPECT_LT(rss2 - rss0, 5L << 20);
#endif
}

namespace {

// The game's projection on the test window.
void gameProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.1, 450.0);
    glMatrixMode(GL_MODELVIEW);
}

// The window's pixels (RGB, bottom row first) from the bound read framebuffer.
std::vector<unsigned char> readPicture() {
    const int w = GlTestWindow::width(), h = GlTestWindow::height();
    std::vector<unsigned char> rgb(static_cast<size_t>(3 * w * h));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// Share of pixels with a channel more than 8 levels away; largest takes the
// largest difference of any channel.
double shareDiffering(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int& largest) {
    size_t count = 0;
    largest = 0;
    for (size_t i = 0; i < a.size(); i += 3) {
        int d = 0;
        for (size_t c = 0; c < 3; ++c) d = std::max(d, std::abs(a[i + c] - b[i + c]));
        largest = std::max(largest, d);
        if (d > 8) ++count;
    }
    return static_cast<double>(count) / static_cast<double>(a.size() / 3);
}

std::vector<unsigned char> DemoLevelTest::stillPicture() {
    for (int i = 0; i < 3; ++i) {
        ScenegraphNode::beginFrame();
        shared->display();
    }
    glFinish();
    return readPicture();
}

}  // namespace

TEST_F(DemoLevelTest, EveryRenderingPathDrawsTheSamePicture) {
    SwitchGuard guard;
    gameProjection();
    // The clock stands still: every frame shows the same moment. The third
    // frame of a path is read, after its occlusion answers have come in.
    auto picture = stillPicture;
    int largest = 0;
    auto differing = [&](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        return shareDiffering(a, b, largest);
    };
    ScenegraphNode::useVisibilityCulling = false;
    const auto reference = picture();  // display lists of draw mode 1, nothing culled
    ASSERT_GT(differing(reference, std::vector<unsigned char>(reference.size(), 0)), 0.9);  // a real picture
    // The far terrain is drawn at coarser levels of detail in every path.
    const auto& segments = shared->getTerrain()->getSegments();
    ASSERT_TRUE(ScenegraphNode::detailSavings);
    ASSERT_TRUE(std::any_of(segments.begin(), segments.end(), [](const auto& s) { return s->getDrawnLevel() == 3; }));

    struct Path {
        const char* name;
        bool culling;
        bool lists;
        int drawMode;
    };
    const Path paths[] = {{"culled", true, true, 1},
                          {"immediate", true, false, 0},
                          {"vertex arrays", false, false, 1},
                          {"vertex buffers", true, false, 2}};
    for (const Path& path : paths) {
        ScenegraphNode::useVisibilityCulling = path.culling;
        ScenegraphNode::displayListsEnabled = path.lists;
        ScenegraphNode::drawMode = path.drawMode;
        EXPECT_LT(differing(reference, picture()), 0.002) << path.name;
    }

    // F3 (wireframe) and F9 (no blending) draw with F11's savings what they
    // draw without them. Wireframe ground covers no sky: the rows it would
    // cover must be drawn. The terrain keeps its full grid in both, so that
    // only the savings' order of drawing can differ.
    ScenegraphNode::useVisibilityCulling = true;
    ScenegraphNode::displayListsEnabled = true;
    ScenegraphNode::drawMode = 1;
    for (const auto& segment : segments) segment->forcedLevel = 0;
    struct Switches {
        const char* name;
        GLenum polygons;
        bool blending;
    };
    for (const Switches& mode : {Switches{"wireframe", GL_LINE, true}, Switches{"no blending", GL_FILL, false}}) {
        glPolygonMode(GL_FRONT, mode.polygons);
        ScenegraphNode::useAlphaBlending = mode.blending;
        ScenegraphNode::detailSavings = false;
        const auto inFull = picture();
        ScenegraphNode::detailSavings = true;
        EXPECT_LT(differing(inFull, picture()), 0.002) << mode.name;
        EXPECT_GT(differing(inFull, reference), 0.01) << mode.name << " is switched on";
    }
    glPolygonMode(GL_FRONT, GL_FILL);
    for (const auto& segment : segments) segment->forcedLevel = -1;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The benchmark's sample counts of the start view: the sky dome (drawn from
// inside, its back faces culled) and the cloud ceiling cover the window at
// most once, the terrain most of it, the car and the HUD some of it; the
// counting frame is the picture of the frame itself.
TEST_F(DemoLevelTest, SampleCountsOfTheStartViewArePlausible) {
    SwitchGuard guard;
    gameProjection();
    const auto picture = stillPicture();
    shared->paintCountingSamples();
    EXPECT_EQ(readPicture(), picture);
    const auto window = static_cast<std::uint64_t>(GlTestWindow::width() * GlTestWindow::height());
    auto samples = [](SampleCounter::Kind kind) { return SampleCounter::samples(kind); };
    EXPECT_GT(samples(SampleCounter::SKY), 0u);
    EXPECT_LE(samples(SampleCounter::SKY), window);
    EXPECT_LE(samples(SampleCounter::CLOUDS), window);
    EXPECT_GT(samples(SampleCounter::TERRAIN), window / 4);
    EXPECT_LT(samples(SampleCounter::TERRAIN), 2 * window);
    EXPECT_GT(samples(SampleCounter::MODELS), window / 100);
    EXPECT_GT(samples(SampleCounter::HUD), 0u);
    EXPECT_LT(samples(SampleCounter::HUD), window / 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// F11's levels of detail: the far terrain segments draw coarser levels, with
// far fewer triangles, and the picture stays the full grid's. (The other
// savings of F11 are on in both pictures.)
TEST_F(DemoLevelTest, FarTerrainDrawsCoarserLevelsAndThePictureStaysTheFullGrids) {
    SwitchGuard guard;
    gameProjection();
    ScenegraphNode::useVisibilityCulling = false;  // every segment drawn, near or far
    ScenegraphNode::detailSavings = true;
    const auto& segments = shared->getTerrain()->getSegments();
    ASSERT_EQ(segments.size(), 64u);
    int triangles = 0;
    auto picture = [&](int forcedLevel) {
        for (const auto& segment : segments) segment->forcedLevel = forcedLevel;
        for (int i = 0; i < 3; ++i) {
            ScenegraphNode::beginFrame();
            shared->display();
        }
        glFinish();
        triangles = 0;
        for (const auto& segment : segments) triangles += segment->drawnTriangleCount();
        return readPicture();
    };
    const auto full = picture(0);
    const int fullTriangles = triangles;
    EXPECT_EQ(fullTriangles, 2 * 32 * 32 * 49 + 2 * 31 * 32 * 14 + 2 * 31 * 31);
    const auto chosen = picture(-1);
    int largest = 0;
    EXPECT_LT(shareDiffering(full, chosen, largest), 0.002);
    EXPECT_LT(triangles, fullTriangles / 4) << "the far segments draw a fraction of their triangles";
    int near = 0, far = 0;
    for (const auto& segment : segments) {
        const double distance = segment->nearestEyeDistance();
        if (distance < 10) {
            ++near;
            EXPECT_EQ(segment->getDrawnLevel(), 0) << segment->getNodeDescription() << " under the car";
        } else if (distance > 100) {
            ++far;
            EXPECT_GE(segment->getDrawnLevel(), 2) << segment->getNodeDescription() << " " << distance << " units away";
        }
        EXPECT_EQ(segment->drawnTriangleCount(), segment->getLevels().triangleCount(segment->getDrawnLevel()));
    }
    EXPECT_EQ(near, 4) << "the car starts where four segments meet";
    EXPECT_GT(far, 40);
}

TEST_F(DemoLevelTest, SingleSampledSoftSurfacesLeaveTheMultisampledPictureAlone) {
    SwitchGuard guard;
    const bool single = ScenegraphNode::detailSavings;
    gameProjection();
    const int w = GlTestWindow::width(), h = GlTestWindow::height();
    // The game's window has four samples; the test window has none, so the
    // frames go into a four-sample framebuffer and are resolved for reading.
    GLuint buffers[2], colour[2], depth;
    glGenFramebuffers(2, buffers);
    glGenRenderbuffers(2, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, colour[0]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_RGBA8, w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_DEPTH_COMPONENT24, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, buffers[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    ASSERT_EQ(samples, 4);
    glBindRenderbuffer(GL_RENDERBUFFER, colour[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, buffers[1]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour[1]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    auto picture = [&](bool singleSampled) {
        ScenegraphNode::detailSavings = singleSampled;
        // Only drawing goes there: the flare reads its depth from the window.
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, buffers[0]);
        glEnable(GL_MULTISAMPLE);
        for (int i = 0; i < 3; ++i) {
            ScenegraphNode::beginFrame();
            shared->display();
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, buffers[0]);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, buffers[1]);
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, buffers[1]);
        auto rgb = readPicture();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return rgb;
    };
    const auto every = picture(false);
    int largest = 0;
    // Sampling alone: the terrain held at its full grid.
    auto terrain = shared->getTerrain();
    for (const auto& segment : terrain->getSegments()) segment->forcedLevel = 0;
    const auto soft = picture(true);
    for (const auto& segment : terrain->getSegments()) segment->forcedLevel = -1;
    EXPECT_LT(shareDiffering(every, soft, largest), 0.002);
    // All F11 saves together, with the terrain's levels of detail (about 0.03 %
    // of the pixels on their own: FarTerrainDrawsCoarserLevelsAndThePictureStaysTheFullGrids).
    EXPECT_LT(shareDiffering(every, picture(true), largest), 0.0025);
    // The comparison sees a change of samples: the terrain single-sampled
    // loses the smoothing of the hills against the sky.
    terrain->singleSampled = true;
    for (const auto& segment : terrain->getSegments()) segment->singleSampled = true;
    const auto jagged = picture(true);
    terrain->singleSampled = false;
    for (const auto& segment : terrain->getSegments()) segment->singleSampled = false;
    EXPECT_GT(shareDiffering(every, jagged, largest), 0.0);
    EXPECT_GT(largest, 8);

    ScenegraphNode::detailSavings = single;
    glDeleteFramebuffers(2, buffers);
    glDeleteRenderbuffers(2, colour);
    glDeleteRenderbuffers(1, &depth);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The HUD lies over the whole world, the sun's flare included: with the car
// facing the low sun at the start, the flare's chain runs down through the
// middle of the window, where the message board shows.
TEST_F(DemoLevelTest, AMessageBoardCoversTheSunsFlare) {
    gameProjection();
    auto sky = shared->getRoot()->getSkyElementsRoot();
    auto flare = shared->getLensFlare();
    const auto skyOrder = sky->getChildren();
    // The clock stands still: the pictures differ only by what is drawn.
    auto picture = stillPicture;
    auto pictureWithoutFlare = [&] {
        sky->removeChild(flare.get());
        auto rgb = picture();
        for (const auto& child : skyOrder) sky->removeChild(child.get());
        for (auto it = skyOrder.rbegin(); it != skyOrder.rend(); ++it) sky->addChild(*it);  // the old order
        return rgb;
    };
    // The inner part of the board: eye x -0.4 to 0.4, y 0.1 to 0.5 (it spans
    // 1 x 0.5 round (0, 0.3) one unit ahead).
    int x0, y0, x1, y1;
    eyeToWindow(-0.4, 0.1, -1, x0, y0);
    eyeToWindow(0.4, 0.5, -1, x1, y1);
    const int w = GlTestWindow::width();
    // Pixels with a channel more than 8 levels apart; largest takes the largest difference.
    int largest = 0;
    auto differing = [&](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        int n = 0;
        largest = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const size_t i = 3 * (static_cast<size_t>(y) * w + x);
                int d = 0;
                for (size_t c = 0; c < 3; ++c) d = std::max(d, std::abs(a[i + c] - b[i + c]));
                largest = std::max(largest, d);
                if (d > 8) ++n;
            }
        return n;
    };
    const int area = (x1 - x0) * (y1 - y0);
    const auto world = picture();
    const auto worldWithoutFlare = pictureWithoutFlare();
    const int flared = differing(world, worldWithoutFlare);
    EXPECT_GT(flared, area / 50) << "the flare shows where the board goes";

    auto stack = shared->getMessageStack();
    auto catchAction = std::dynamic_pointer_cast<CatchAction>(shared->getEventManager()->events[1]->getAction());
    ASSERT_TRUE(catchAction);
    stack->push(catchAction->loserBoard);
    const auto board = picture();
    EXPECT_GT(differing(board, worldWithoutFlare), area * 9 / 10) << "the board shows";
    const int throughBoard = differing(board, pictureWithoutFlare());
    std::printf("\nboard area %d pixels: the flare changes %d of them; with the board shown %d, by at most %d levels\n",
                area, flared, throughBoard, largest);
    // The board's ground is not quite opaque: the core of the sun's glow
    // shows through by a few levels, nothing of the flare's shapes.
    EXPECT_LT(throughBoard, area / 500);
    EXPECT_LT(largest, 16);
    stack->clear();
}

namespace {

// Mean absolute luminance step between neighbouring pixels (right and up) in
// rows [first, last) of a picture: how much grain the rows show.
double localContrast(const std::vector<unsigned char>& rgb, int first, int last) {
    const int w = GlTestWindow::width();
    auto grey = [&](int x, int y) {
        const size_t i = 3 * (static_cast<size_t>(y) * w + x);
        return 0.299 * rgb[i] + 0.587 * rgb[i + 1] + 0.114 * rgb[i + 2];
    };
    double sum = 0;
    int steps = 0;
    for (int y = first; y + 1 < last; ++y)
        for (int x = 0; x + 1 < w; ++x) {
            sum += std::fabs(grey(x + 1, y) - grey(x, y)) + std::fabs(grey(x, y + 1) - grey(x, y));
            steps += 2;
        }
    return steps ? sum / steps : 0.0;
}

}  // namespace

// The ground's grain: in every draw path the lower third of the picture (the
// ground around the car) shows clearly more contrast between neighbouring
// pixels with the detail texture than without it, and the upper third (sky
// and far hills, where its mipmaps are flat mid-grey) stays the same picture.
TEST_F(DemoLevelTest, TheDetailTextureGivesTheNearGroundGrainAndLeavesTheFarPictureAlone) {
    SwitchGuard guard;
    gameProjection();
    ASSERT_TRUE(shared->getTerrain()->getDetailTexture() && shared->getTerrain()->getDetailTexture()->isLoaded());
    const int h = GlTestWindow::height();
    auto picture = [](bool grain) {
        DetailTexture::enabled = grain;
        auto rgb = stillPicture();
        DetailTexture::enabled = true;
        return rgb;
    };
    struct Path {
        const char* name;
        bool lists;
        int drawMode;
    };
    const Path paths[] = {{"display lists", true, 1},
                          {"immediate", false, 0},
                          {"vertex arrays", false, 1},
                          {"vertex buffers", false, 2}};
    for (const Path& path : paths) {
        ScenegraphNode::displayListsEnabled = path.lists;
        ScenegraphNode::drawMode = path.drawMode;
        const auto smooth = picture(false), grainy = picture(true);
        // Rows count from the bottom: the lower third is rows 0 .. h/3.
        const double before = localContrast(smooth, 0, h / 3), after = localContrast(grainy, 0, h / 3);
        std::printf("\n%s: lower third %.2f -> %.2f grey levels between neighbours, upper third %.2f -> %.2f\n",
                    path.name, before, after, localContrast(smooth, 2 * h / 3, h), localContrast(grainy, 2 * h / 3, h));
        EXPECT_GT(after, before + 2.0) << path.name;  // at least two grey levels more between neighbours
        const std::vector<unsigned char> upperSmooth(smooth.begin() + 3 * (2 * h / 3) * GlTestWindow::width(), smooth.end());
        const std::vector<unsigned char> upperGrainy(grainy.begin() + 3 * (2 * h / 3) * GlTestWindow::width(), grainy.end());
        // Two pictures of the same moment already differ by up to 2 levels in the sky.
        int largest = 0;
        EXPECT_EQ(shareDiffering(upperSmooth, upperGrainy, largest), 0.0) << path.name;
        EXPECT_LE(largest, 2) << path.name;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {

// The game's 800 x 600 window, as a framebuffer of that size (the test
// window is smaller), with the game's projection: the HUD lies where it lies
// in the game. Frames are drawn with the clock standing still.
class GameSizedPicture {
public:
    static constexpr int WIDTH = 800, HEIGHT = 600;

    GameSizedPicture() {
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(2, buffers);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, WIDTH, HEIGHT);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, WIDTH, HEIGHT);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
        complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    ~GameSizedPicture() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(2, buffers);
        glViewport(0, 0, GlTestWindow::width(), GlTestWindow::height());
        gameProjection();
    }

    // The third of three frames of the same moment, read back.
    void draw(Level& level) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, 0, WIDTH, HEIGHT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, static_cast<double>(WIDTH) / HEIGHT, 0.1, 450.0);
        glMatrixMode(GL_MODELVIEW);
        for (int i = 0; i < 3; ++i) {
            ScenegraphNode::beginFrame();
            level.display();
        }
        glFinish();
        rgb.resize(static_cast<size_t>(3 * WIDTH * HEIGHT));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    struct Rgb {
        int r, g, b;
    };
    // The pixel that holds the window point (x, y).
    Rgb at(float x, float y) const {
        const int px = std::clamp(static_cast<int>(x), 0, WIDTH - 1);
        const int py = std::clamp(static_cast<int>(y), 0, HEIGHT - 1);
        const unsigned char* p = &rgb[3 * (static_cast<size_t>(py) * WIDTH + px)];
        return {p[0], p[1], p[2]};
    }

    bool complete = false;

private:
    GLuint framebuffer = 0, buffers[2] = {0, 0};
    std::vector<unsigned char> rgb;
};

// The markers' colours as drawn (they are opaque).
bool isWhite(GameSizedPicture::Rgb p) { return p.r > 235 && p.g > 235 && p.b > 235; }
bool isSignBlue(GameSizedPicture::Rgb p) { return p.b > 220 && p.r < 90 && p.g < 120; }
bool isCrossGrey(GameSizedPicture::Rgb p) {
    return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) < 12 && p.r > 135 && p.r < 170;
}
bool isHunterRed(GameSizedPicture::Rgb p) { return p.r > 220 && p.g < 40 && p.b < 40; }
bool isToolGreen(GameSizedPicture::Rgb p) { return p.g > 235 && p.r < 30 && p.b < 30; }

}  // namespace

// The minimap in the bottom left corner of the game's window, north up: each
// marker lies where its thing is in the world and changes with it. The car's
// arrow points where the car faces; a sign's blue square becomes a grey cross
// when the sign is taken down; a pursuer far from the car shows only once it
// hunts, as a red star; an item shows while it lies there. The roads of the
// ground picture bend to the sides they bend to in the world.
TEST_F(DemoLevelTest, TheMinimapsMarkersFollowTheWorld) {
    GameSizedPicture picture;
    ASSERT_TRUE(picture.complete);
    const Minimap::Frame frame = Minimap::frameIn(GameSizedPicture::WIDTH, GameSizedPicture::HEIGHT);
    EXPECT_FLOAT_EQ(frame.left, 10.0f);
    EXPECT_FLOAT_EQ(frame.bottom, 10.0f);
    EXPECT_FLOAT_EQ(frame.size, 160.0f);
    // The window pixel dx, dy pixels from where the world point (x, z) shows.
    auto mapped = [&](double x, double z, float dx = 0, float dy = 0) {
        float px, py;
        Minimap::toWindow(frame, static_cast<float>(x), static_cast<float>(z), px, py);
        return picture.at(px + dx, py + dy);
    };
    auto brightness = [&](double x, double z) {
        const auto p = mapped(x, z);
        return p.r + p.g + p.b;
    };

    // The car off the roads, 100 east and 50 north of the start, facing east.
    auto car = shared->getPlayerCar();
    DemoLevel::putBack(*car, 100, shared->height(100, -50) + 0.5f, -50);
    shared->getCarMovement()->setUpright(static_cast<float>(PI));  // the front along (-cos h, 0, sin h)
    settle();
    const double carX = pose()[12], carZ = pose()[14];
    ASSERT_NEAR(carX, 100, 1);
    ASSERT_NEAR(carZ, -50, 1);
    picture.draw(*shared);
    EXPECT_TRUE(isWhite(mapped(carX, carZ)));
    EXPECT_TRUE(isWhite(mapped(carX, carZ, 3, 0))) << "the tip points east";
    for (auto [dx, dy] : {std::pair{-5.0f, 0.0f}, {0.0f, 4.0f}, {0.0f, -4.0f}})
        EXPECT_FALSE(isWhite(mapped(carX, carZ, dx, dy))) << "no wider and no longer: " << dx << ", " << dy;

    // The north sign, standing, then taken down, then back up after a reset.
    const auto& signs = shared->getSignStates()->getSigns();
    ASSERT_EQ(signs.size(), 4u);
    const auto north = signs[3];
    ASSERT_FLOAT_EQ(north->node->getZpos(), -200.0f);
    EXPECT_TRUE(isSignBlue(mapped(0, -200)));
    north->dismounted = true;
    north->showPlate(false);

    // The hardcore pursuer, more than 100 units from the car: shown only once it hunts.
    const auto hunter = shared->getHunters().back();
    const Vector far = HunterAI::positionOf(*hunter->getCar());
    ASSERT_GT(std::hypot(far.x - carX, far.z - carZ), MinimapFeed::PURSUER_RANGE);
    EXPECT_FALSE(isHunterRed(mapped(far.x, far.z)));
    HunterAI::BLIND = false;
    hunter->enterHuntingState();

    // The tool item south east of the car, then taken.
    std::shared_ptr<ItemAction> tool;
    for (const auto& item : shared->getItems())
        if (item->getItem()->getXpos() == 150 && item->getItem()->getZpos() == -150) tool = item;
    ASSERT_TRUE(tool);
    EXPECT_TRUE(isToolGreen(mapped(150, -150)));
    tool->enter();

    picture.draw(*shared);
    EXPECT_TRUE(isCrossGrey(mapped(0, -200))) << "a sign taken down";
    EXPECT_FALSE(isSignBlue(mapped(0, -200)));
    const Vector hunting = HunterAI::positionOf(*hunter->getCar());
    EXPECT_TRUE(isHunterRed(mapped(hunting.x, hunting.z))) << "a hunting pursuer";
    EXPECT_FALSE(isToolGreen(mapped(150, -150))) << "an item taken";
    // The other pursuers: only those within 100 units of the car.
    int near = 0, marked = 0;
    for (const auto& other : shared->getHunters()) {
        const Vector p = HunterAI::positionOf(*other->getCar());
        near += other != hunter && std::hypot(p.x - carX, p.z - carZ) <= MinimapFeed::PURSUER_RANGE;
    }
    for (const auto& marker : shared->getMinimap()->getMarkers()) marked += marker.kind == Minimap::PURSUER;
    EXPECT_EQ(marked, near);
    EXPECT_GT(near, 0) << "the pursuer starting at (100, -100) is 50 units away";

    // The roads, a quarter into their bends: 9 units south of the east road's
    // axis, 10 west of the north road's; nothing on the mirrored sides.
    EXPECT_GT(brightness(72.5, 9), brightness(72.5, -9) + 100);
    EXPECT_GT(brightness(-10, -72.5), brightness(10, -72.5) + 100);

    // r during a pause: the sign stands, the item lies, the pursuers patrol
    // again, and the map shows it at once, before the game resumes.
    shared->setPaused(true);
    shared->reset();
    picture.draw(*shared);
    EXPECT_TRUE(isSignBlue(mapped(0, -200)));
    EXPECT_TRUE(isToolGreen(mapped(150, -150)));
    EXPECT_FALSE(isHunterRed(mapped(hunting.x, hunting.z)));
    shared->setPaused(false);
}

// n hides the minimap and the speedometer and shows them again; the choice
// outlasts a level reset.
TEST_F(DemoLevelTest, NHidesTheMinimapAndTheSpeedometerUntilPressedAgain) {
    auto levelKeys = std::make_shared<LevelControl>(shared);
    KeyboardProcessor::registerConsumer(levelKeys);
    GameSizedPicture picture;
    auto mapCentre = [&] { return picture.at(90, 90); };  // the car's white arrow at the start
    auto meter = [&] {  // the speedometer's dark panel, left of its bar
        return picture.at(10 + 160 + 8 + 2, 10 + 50);
    };
    picture.draw(*shared);
    EXPECT_TRUE(isWhite(mapCentre()));
    const auto panel = meter();
    KeyboardProcessor::processDown('n', 0, 0);
    KeyboardProcessor::processUp('n', 0, 0);
    EXPECT_FALSE(shared->getMinimap()->visible);
    EXPECT_FALSE(shared->getSpeedometer()->visible);
    shared->reset();
    picture.draw(*shared);
    EXPECT_FALSE(isWhite(mapCentre()));
    const auto world = meter();
    EXPECT_GT(world.r + world.g + world.b, panel.r + panel.g + panel.b + 60) << "the panel darkened the world";
    KeyboardProcessor::processDown('n', 0, 0);
    KeyboardProcessor::processUp('n', 0, 0);
    picture.draw(*shared);
    EXPECT_TRUE(isWhite(mapCentre()));
    KeyboardProcessor::unregisterConsumer(levelKeys);
}

// The speedometer reads the car's speed over the ground as the physics moves
// it: 7 units a second more each second of w up to the top speed of 15 (54
// km/h), then with the engine item twice both, its top speed shown blue.
TEST_F(DemoLevelTest, TheSpeedometerReadsTheSpeedOfTheDrivenCar) {
    auto meter = shared->getSpeedometer();
    ASSERT_TRUE(meter);
    EXPECT_EQ(meter->reading(), "0 km/h");
    EXPECT_EQ(meter->topReading(), "top 54 km/h");
    EXPECT_FALSE(meter->isBoosted());
    // Units per second over the last frame, from the car's moves on the ground.
    auto measured = [] {
        const double x = pose()[12], z = pose()[14];
        frames(1);
        return std::hypot(pose()[12] - x, pose()[14] - z) / SIMULATED_PER_FRAME;
    };
    const int second = static_cast<int>(std::lround(1.0 / SIMULATED_PER_FRAME));
    KeyboardProcessor::processDown('w', 0, 0);
    frames(second - 1);
    double speed = measured();
    EXPECT_NEAR(speed, 7.0, 0.4) << "one second of w";
    EXPECT_NEAR(meter->getSpeed(), speed, 0.02 * speed);
    EXPECT_EQ(meter->reading(), Speedometer::kmh(meter->getSpeed()));
    frames(2 * second - 1);
    speed = measured();
    EXPECT_NEAR(speed, 15.0, 0.3) << "top speed";
    EXPECT_NEAR(meter->getSpeed(), speed, 0.02 * speed);
    EXPECT_EQ(meter->reading(), "54 km/h");

    std::shared_ptr<ItemAction> engine;
    for (const auto& item : shared->getItems())
        if (std::dynamic_pointer_cast<EngineAction>(item)) engine = item;
    ASSERT_TRUE(engine);
    engine->enter();
    frames(second / 2 - 1);
    speed = measured();
    EXPECT_NEAR(speed, 15.0 + 14.0 / 2, 0.8) << "half a second at twice the acceleration";
    EXPECT_NEAR(meter->getSpeed(), speed, 0.02 * speed);
    EXPECT_EQ(meter->topReading(), "top 108 km/h");
    EXPECT_TRUE(meter->isBoosted());
    KeyboardProcessor::processUp('w', 0, 0);
    shared->reset();
    frames(1);
    EXPECT_EQ(meter->topReading(), "top 54 km/h");
    EXPECT_FALSE(meter->isBoosted());
}

namespace {
// A ghost of two samples 1/30 s apart, standing on the ground beside the
// road ahead of the parked car: 10 units ahead (-Z) of it, moving from 2
// to 4 units to its right.
Ghost ghostAhead(const DemoLevel& level, const Matrix& car, float right = 2.0f, float ahead = 10.0f) {
    Ghost ghost;
    for (const float x : {right, right + 2.0f}) {
        float m[16];
        std::copy(car.data(), car.data() + 16, m);
        m[12] += x;
        m[14] -= ahead;
        m[13] += level.height(m[12], m[14]) - level.height(car[12], car[14]);
        ghost.samples.push_back(GhostPose::fromMatrix(m, 0.0f));
    }
    ghost.finish = 1.0;
    return ghost;
}

// The bounding rectangle of the pixels (x0, y0, x1, y1, bottom row first)
// that differ by more than 8 levels, and how many they are.
int differingBox(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int box[4]) {
    const int w = GlTestWindow::width();
    int count = 0;
    box[0] = box[1] = 1 << 20;
    box[2] = box[3] = -1;
    for (size_t i = 0; i < a.size(); i += 3) {
        int d = 0;
        for (size_t c = 0; c < 3; ++c) d = std::max(d, std::abs(a[i + c] - b[i + c]));
        if (d <= 8) continue;
        const int x = static_cast<int>(i / 3) % w, y = static_cast<int>(i / 3) / w;
        box[0] = std::min(box[0], x);
        box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x);
        box[3] = std::max(box[3], y);
        ++count;
    }
    return count;
}
}  // namespace

// Half-way between its two samples the ghost stands 3 units right of the
// road, 10 ahead: the picture changes there and nowhere else, and lets the
// ground show through. With g it is gone, and the choice is kept in the
// data folder. In the player's car it fades out.
TEST_F(DemoLevelTest, TheGhostCarShowsWhereItsSamplesSayAndGHidesIt) {
    gameProjection();
    auto race = shared->getGhostRace();
    auto watch = shared->getStopWatch();
    watch->start();
    clock->advance(1.0 / 60.0);
    watch->update();  // the watch stands at 1/60 s from here on: between the two samples
    const auto none = stillPicture();
    race->race(ghostAhead(*shared, pose()), false);
    race->setShown(true);
    const auto shown = stillPicture();

    const float* at = shared->getGhostCar()->getPose();
    EXPECT_NEAR(at[12], pose()[12] + 3.0f, 1e-4f);
    EXPECT_NEAR(at[14], pose()[14] - 10.0f, 1e-4f);
    EXPECT_NEAR(shared->getGhostCar()->opacity, GhostCarNode::OPACITY, 1e-6f);
    // Where its origin lands in the window, from the modelview it was drawn with.
    double projection[16], modelview[16], sx = 0, sy = 0, sz = 0;
    int viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int i = 0; i < 16; ++i) modelview[i] = shared->getGhostCar()->getCurrentMatrix()->m[i];
    ASSERT_EQ(gluProject(0, 0, 0, modelview, projection, viewport, &sx, &sy, &sz), GL_TRUE);
    int box[4];
    const int changed = differingBox(none, shown, box);
    EXPECT_GT(changed, 40) << "a car some 13 units away is more than a few pixels";
    EXPECT_LT(box[2] - box[0], GlTestWindow::width() / 4);
    EXPECT_LT(box[3] - box[1], GlTestWindow::height() / 4);
    EXPECT_GE(sx, box[0] - 2);
    EXPECT_LE(sx, box[2] + 2);
    EXPECT_GE(sy, box[1] - 2);
    EXPECT_LE(sy, box[3] + 2);
    EXPECT_GT(sx, GlTestWindow::width() / 2) << "right of the middle";

    // See-through: drawn fully opaque, the ghost changes the picture about
    // 1 / 0.35 times as much. (Painted as they stand, without a frame's
    // placement, which would set the opacity again.)
    auto painted = [] {
        for (int i = 0; i < 3; ++i) {
            ScenegraphNode::beginFrame();
            shared->paintFrame();
        }
        glFinish();
        return readPicture();
    };
    auto ghostCar = shared->getGhostCar();
    const auto seeThroughPicture = painted();
    ghostCar->opacity = 1.0f;
    const auto opaque = painted();
    ghostCar->shown = false;
    const auto without = painted();
    ghostCar->shown = true;
    long seeThrough = 0, solid = 0;
    for (size_t i = 0; i < without.size(); ++i) {
        seeThrough += std::abs(seeThroughPicture[i] - without[i]);
        solid += std::abs(opaque[i] - without[i]);
    }
    EXPECT_GT(seeThrough, 0);
    EXPECT_NEAR(static_cast<double>(seeThrough) / static_cast<double>(solid), GhostCarNode::OPACITY, 0.08);

    LevelControl keys(shared);
    keys.consumeDown('g', 0, 0);
    EXPECT_FALSE(race->isShown());
    EXPECT_FALSE(GhostChoice::shown()) << "the choice is kept";
    int unused[4];
    EXPECT_EQ(differingBox(none, stillPicture(), unused), 0) << "no trace of a hidden ghost";
    keys.consumeDown('g', 0, 0);
    EXPECT_TRUE(GhostChoice::shown());

    // Riding in the car it fades out: gone 0 units from it, half there at
    // 1.25 units, (1.25 - GONE_GAP) / (FULL_GAP - GONE_GAP) = 0.5.
    race->race(ghostAhead(*shared, pose(), -1.0f, 0.0f), false);
    EXPECT_EQ(differingBox(none, stillPicture(), unused), 0) << "no trace of a ghost in the car";
    EXPECT_EQ(shared->getGhostCar()->opacity, 0.0f);
    race->race(ghostAhead(*shared, pose(), 0.25f, 0.0f), false);
    stillPicture();
    EXPECT_NEAR(shared->getGhostCar()->opacity, GhostCarNode::OPACITY * 0.5f, 1e-4f);
    race->race(std::nullopt, false);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// At each sign the HUD shows the race against the ghost's split for three
// seconds: green when ahead, red when behind, and the finish at the win. A
// won race that is no new best leaves the kept ghost file alone, even a
// broken one; a new best replaces it and is raced after r.
TEST_F(DemoLevelTest, SplitsAgainstTheGhostShowGreenAheadAndRedBehindAndANewBestIsKept) {
    const auto folder = std::filesystem::path(testing::TempDir()) / ("zarvik-ghost-race-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto kept = folder / "ghost";
    std::ofstream(kept) << "broken";
    std::ofstream(folder / "records") << "best 44\n";
    shared->setBestTimes(std::make_shared<BestTimes>((folder / "records").string()));
    auto race = shared->getGhostRace();
    race->bestPath = kept.string();
    Ghost ghost = ghostAhead(*shared, pose());
    ghost.splits = {10.0, 20.0, 30.0, 40.0};
    ghost.finish = 45.0;
    race->race(ghost, true);

    auto watch = shared->getStopWatch();
    auto text = race->getSplitHud().getText();
    const auto& signs = shared->getSignStates()->getSigns();
    auto raceTo = [&](double seconds) {
        clock->advance(seconds - watch->getTotalTime());
        watch->update();
        race->frame();
    };
    auto win = [&](double seconds) {
        shared->reset();
        watch->start();
        for (int n = 0; n < 4; ++n) {
            raceTo(seconds - 40 + 10 * n);
            signs[n]->dismounted = true;
            raceTo(seconds - 40 + 10 * n + 0.001);
        }
        raceTo(seconds);
        shared->getTimerAction()->enter();
    };

    watch->start();
    raceTo(8.7655);
    signs[0]->dismounted = true;
    raceTo(8.766);  // the first frame that sees the sign down
    EXPECT_TRUE(text->visible);
    EXPECT_EQ(text->getText(), "-1.234");
    EXPECT_NEAR(text->getColour()[1], SplitHud::AHEAD[1] / 255.0f, 1e-3f);
    EXPECT_NEAR(*race->splitDifference(1), 8.766 - 10.0, 1e-9);
    signs[1]->dismounted = true;
    raceTo(20.567);
    EXPECT_EQ(text->getText(), "+0.567");
    EXPECT_NEAR(text->getColour()[0], SplitHud::BEHIND[0] / 255.0f, 1e-3f);
    // Three seconds of painting later it is gone.
    text->paint();
    clock->advance(3.1);
    text->paint();
    EXPECT_FALSE(text->visible);

    win(45.25);  // no new best: the broken file stays
    EXPECT_EQ(text->getText(), "+0.250");
    EXPECT_NEAR(*race->finishDifference(), 45.25 - 45.0, 1e-9);
    std::ifstream brokenIn(kept);
    std::string content((std::istreambuf_iterator<char>(brokenIn)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "broken");

    win(41.5);
    EXPECT_EQ(race->getGhost()->finish, 45.0) << "the ghost changes with the next restart";
    EXPECT_EQ(text->getText(), "-3.500");
    const auto saved = GhostFile::load(kept.string(), shared->fingerprint());
    ASSERT_TRUE(saved);
    EXPECT_NEAR(saved->finish, 41.5, 1e-9);
    ASSERT_EQ(saved->splits.size(), 4u) << "one split per sign";
    EXPECT_NEAR(saved->splits[3], 31.501, 1e-9) << "the frame that saw the fourth sign down";
    EXPECT_NEAR(static_cast<double>(saved->samples.size()), 41.5 * 30 + 1, 1.0);
    shared->reset();
    EXPECT_FALSE(text->visible);
    EXPECT_FALSE(race->splitDifference(1));
    EXPECT_NEAR(race->getGhost()->finish, 41.5, 1e-9);

    race->race(std::nullopt, false);
    race->bestPath.clear();
    shared->setBestTimes(nullptr);
    std::filesystem::remove_all(folder);

    // On a level of six signs every sign has its split, against a ghost of
    // six and against one of four (from the game before levels had more):
    // the fifth and sixth then have none, and nothing reads past its end.
    auto six = std::make_shared<SignStates>();
    for (int n = 0; n < 6; ++n) six->add(std::make_shared<Sign>(nullptr));
    GhostRace longer(shared->getGhostCar(), shared->getPlayerCar(), watch, six, shared->fingerprint());
    for (const std::vector<double>& splits : {std::vector<double>{5, 10, 15, 20, 25, 30}, std::vector<double>{5, 10, 15, 20}}) {
        Ghost g = ghostAhead(*shared, pose());
        g.splits = splits;
        g.finish = 40.0;
        longer.race(g, false);
        watch->reset();
        watch->start();
        for (int n = 0; n < 6; ++n) {
            six->getSigns()[n]->dismounted = true;
            clock->advance(5.5);
            watch->update();
            longer.frame();
        }
        for (int n = 1; n <= 6; ++n)
            if (n <= static_cast<int>(splits.size())) EXPECT_NEAR(*longer.splitDifference(n), 0.5 * n, 1e-9) << n;
            else EXPECT_FALSE(longer.splitDifference(n)) << n;
        EXPECT_EQ(longer.getRecorder().recorded().splits.size(), 6u) << "the race itself keeps all six";
        for (auto& sign : six->getSigns()) sign->dismounted = false;
    }
    watch->reset();
}

// The level's fingerprint covers the level file and the files it names, by
// their bytes: the same level copied to another folder is the same level;
// a sign moved by one unit in the file, or one byte of the heightmap
// changed, makes another level, and a ghost driven before is refused on the
// console as driven on another level.
TEST_F(DemoLevelTest, AGhostOfTheLevelBeforeItsFilesChangedIsRefused) {
    TempFolder folder("level-ghost");
    const std::string file = (folder / "ghost").string();
    const std::uint64_t level = shared->fingerprint();
    EXPECT_EQ(shared->getGhostRace()->getFingerprint(), level) << "the race's is the level's";
    ASSERT_TRUE(GhostFile::save(file, ghostAhead(*shared, pose()), level));
    auto refused = [&](std::uint64_t fingerprint) {
        testing::internal::CaptureStdout();
        const bool loaded = GhostFile::load(file, fingerprint).has_value();
        const std::string console = testing::internal::GetCapturedStdout();
        return !loaded && console == "\n GhostFile: ignoring the ghost " + file + ": driven on another level";
    };
    // The level as read from a copy of the data it names, after a change to the copy.
    TempFolder data("level-copy");
    for (const char* part : {"levels", "terrain", "models"})
        std::filesystem::copy(part, data / part, std::filesystem::copy_options::recursive);
    const std::string levelFile = (data / "levels/demo.toml").string();
    auto fingerprintOfCopy = [&] {
        std::vector<std::string> errors;
        const std::optional<LevelDescription> read = LevelFile::read(levelFile, errors);
        EXPECT_TRUE(read) << testing::PrintToString(errors);
        return read ? DemoLevel(*read).fingerprint() : 0;
    };
    EXPECT_EQ(fingerprintOfCopy(), level);

    std::set<std::uint64_t> levels = {level};
    std::ifstream in(levelFile);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t sign = text.find("position = [200.0, 0.0]");
    ASSERT_NE(sign, std::string::npos);
    std::string moved = text;
    moved.replace(sign, 23, "position = [201.0, 0.0]");
    std::ofstream(levelFile, std::ios::trunc) << moved;
    const std::uint64_t signMoved = fingerprintOfCopy();
    EXPECT_TRUE(levels.insert(signMoved).second);
    EXPECT_TRUE(refused(signMoved));
    std::ofstream(levelFile, std::ios::trunc) << text;
    EXPECT_EQ(fingerprintOfCopy(), level) << "the sign back in its place";
    {
        std::fstream heightmap(data / "terrain/heightmap.png", std::ios::in | std::ios::out | std::ios::binary);
        heightmap.seekp(1000);
        heightmap.put('\x5a');
    }
    const std::uint64_t changed = fingerprintOfCopy();
    EXPECT_TRUE(levels.insert(changed).second);
    EXPECT_TRUE(refused(changed));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(GhostFile::load(file, level)) << "the level it was driven on";
    testing::internal::GetCapturedStdout();
}

// A race driven twice the same way, at the same race times: the second,
// against the ghost of the first, is level with it at every sign and at the
// finish (differences of exactly 0), the ghost stands where the car is at
// every sample (within what the file keeps: positions as floats,
// orientations in steps of 1/32767), and the second race's ghost is the
// same file again.
TEST_F(DemoLevelTest, RacingTheGhostOfTheSameDriveIsLevelAtEverySign) {
    TempFolder folder("level-ghost");
    auto race = shared->getGhostRace();
    auto watch = shared->getStopWatch();
    const auto& signs = shared->getSignStates()->getSigns();
    ASSERT_EQ(signs.size(), 4u);
    Matrix& car = *shared->getPlayerCar()->getPhysicVolume()->matrix;
    const float ground = car[13];
    // 200 frames of 13.7 and 21 ms (uneven, so that samples fall between
    // frames), the car running north-east and turning; a sign goes down at
    // frames 40, 90, 130 and 170. The physics does not run: the car is
    // where the drive puts it.
    const int downAt[4] = {40, 90, 130, 170};
    auto drive = [&](const std::string& recordTo) {
        shared->reset();
        race->recordPath = recordTo;
        watch->start();
        for (int frame = 1; frame <= 200; ++frame) {
            clock->advance(frame % 3 == 0 ? 0.021 : 0.0137);
            watch->update();
            const double t = watch->getTotalTime();
            car.setRotateY(0.4 * t);
            car[12] = static_cast<float>(5.0 * t);
            car[13] = ground + static_cast<float>(0.2 * std::sin(3.0 * t));
            car[14] = static_cast<float>(-8.0 * t);
            for (int n = 0; n < 4; ++n)
                if (frame == downAt[n]) signs[n]->dismounted = true;
            race->frame();
        }
        watch->stop();
        testing::internal::CaptureStdout();
        race->finish(watch->getTotalTime(), false);
        testing::internal::GetCapturedStdout();
    };

    race->race(std::nullopt, false);
    drive((folder / "first").string());
    testing::internal::CaptureStdout();
    auto ghost = GhostFile::load((folder / "first").string(), race->getFingerprint());
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ghost);
    ASSERT_GT(ghost->splits[3], ghost->splits[2]);
    const std::size_t samples = ghost->samples.size();
    EXPECT_EQ(samples, static_cast<std::size_t>(std::floor(ghost->finish * 30.0)) + 1);

    race->race(std::move(ghost), false);
    drive((folder / "second").string());
    for (int n = 1; n <= 4; ++n) {
        ASSERT_TRUE(race->splitDifference(n)) << n;
        EXPECT_EQ(*race->splitDifference(n), 0.0) << "sign " << n;
    }
    ASSERT_TRUE(race->finishDifference());
    EXPECT_EQ(*race->finishDifference(), 0.0);
    EXPECT_EQ(race->getGaps().samples, samples) << "every sample of the ghost";
    EXPECT_LE(race->getGaps().position, 1e-5f);
    EXPECT_LE(race->getGaps().orientation, GhostFile::ORIENTATION_STEP);
    EXPECT_EQ(SaveChecks::bytesOf((folder / "second").string()), SaveChecks::bytesOf((folder / "first").string()))
        << "the same race, the same ghost";

    race->race(std::nullopt, false);
    race->recordPath.clear();
    shared->reset();
}

// The pursuers within 100 units of the car show on the map, measured along
// the ground: one 99 units off on the diagonal (70, 70; 70 x sqrt 2 = 99.0)
// has its marker, one 113 units off (80, 80; 113.1) has none, though both lie
// within 100 units along each axis; one 105 units straight south has none.
TEST_F(DemoLevelTest, PursuersShowOnTheMapWithinAHundredUnitsOfTheCar) {
    const Vector car = HunterAI::positionOf(*shared->getPlayerCar());
    const auto& hunters = shared->getHunters();
    ASSERT_GE(hunters.size(), 3u);
    // Puts the pursuer's view-sphere centre (what the feed measures) dx, dz from the car's.
    auto place = [&](const HunterAI& hunter, double dx, double dz) {
        auto node = hunter.getCar();
        const float x = static_cast<float>(car.x + dx), z = static_cast<float>(car.z + dz);
        DemoLevel::putBack(*node, x, shared->height(x, z) + 0.5f, z);
        const Vector off = HunterAI::positionOf(*node);
        DemoLevel::putBack(*node, x - static_cast<float>(off.x - x), shared->height(x, z) + 0.5f,
                           z - static_cast<float>(off.z - z));
        const Vector at = HunterAI::positionOf(*node);
        EXPECT_NEAR(at.x - car.x, dx, 1e-3);
        EXPECT_NEAR(at.z - car.z, dz, 1e-3);
        return at;
    };
    const Vector far = place(*hunters[0], 80, 80), near = place(*hunters[1], -70, 70), south = place(*hunters[2], 0, 105);
    MinimapFeed feed(*shared, shared->getMinimap(), nullptr);
    feed.animate(0.0);
    auto marked = [&](const Vector& at) {
        for (const auto& marker : shared->getMinimap()->getMarkers())
            if (marker.kind == Minimap::PURSUER && marker.x == static_cast<float>(at.x) &&
                marker.z == static_cast<float>(at.z))
                return true;
        return false;
    };
    EXPECT_FALSE(marked(far)) << "113 units off";
    EXPECT_TRUE(marked(near)) << "99 units off";
    EXPECT_FALSE(marked(south)) << "105 units off";

    // Hunting, a pursuer shows wherever it is, as a hunter.
    HunterAI::BLIND = false;
    hunters[0]->enterHuntingState();
    feed.animate(0.0);
    int hunting = 0;
    for (const auto& marker : shared->getMinimap()->getMarkers())
        hunting += marker.kind == Minimap::PURSUER_HUNTING && marker.x == static_cast<float>(far.x) &&
                   marker.z == static_cast<float>(far.z);
    EXPECT_EQ(hunting, 1);
    EXPECT_FALSE(marked(far));
    shared->reset();
}

// A difficulty is one row of factors on the level's own numbers, reaching the
// pursuers (top speed and view sphere), the sign games (arrows in a row,
// also under a tool item) and the items (how long they work; they never
// return while working). Chosen during a race, it waits for the next reset;
// normal gives back the numbers as placed.
TEST_F(DemoLevelTest, ADifficultyReachesThePursuersTheSignGamesAndTheItemsAtTheNextReset) {
    struct Numbers {
        std::vector<double> speeds;
        std::vector<float> sights;
        std::vector<double> itemTimes, returns;
        int row = 0, toolRow = 0;
    };
    auto numbersOf = [](DemoLevel& level) {
        Numbers n;
        for (const auto& hunter : level.getHunters()) {
            n.speeds.push_back(hunter->getNormalMaxSpeed());
            n.sights.push_back(hunter->getViewfield()->getEventSphere()->radius);
        }
        for (const auto& item : level.getItems()) {
            n.itemTimes.push_back(item->getInfluenceDuration());
            n.returns.push_back(item->getRespawnTime());
        }
        for (const auto& event : level.getEventManager()->events)
            if (auto game = std::dynamic_pointer_cast<UnmountAction>(event->getAction())) {
                n.row = game->sequenceLength();
                UnmountAction::SEQUENCE_LENGTH_FACTOR = 0.5f;  // as a tool item sets it
                n.toolRow = game->sequenceLength();
                UnmountAction::SEQUENCE_LENGTH_FACTOR = 1.0f;
            }
        return n;
    };
    const Numbers normal = numbersOf(*shared);
    // The first pursuer's top speed: the movement's 15 units a second x 0.9.
    EXPECT_DOUBLE_EQ(normal.speeds.front(), 15 * 0.9);
    EXPECT_EQ(normal.row, 8);
    EXPECT_EQ(normal.toolRow, 4);

    struct Expected {
        const Difficulty& difficulty;
        double speed, sight, itemTime;
        int row, toolRow;
    };
    // Easy rows: 8 x 2/3 = 5.3 and 4 x 2/3 = 2.7 arrows, the whole ones kept.
    for (const Expected& e : {Expected{Difficulty::EASY, 0.7, 0.6, 1.5, 5, 2}, Expected{Difficulty::HARD, 1.1, 1.2, 0.75, 8, 4}}) {
        SCOPED_TRACE(e.difficulty.name);
        const double before = numbersOf(*shared).speeds.front();
        const Difficulty* raced = &shared->getRaceDifficulty();
        shared->setDifficulty(e.difficulty);
        EXPECT_EQ(numbersOf(*shared).speeds.front(), before) << "not before the reset";
        EXPECT_EQ(&shared->getRaceDifficulty(), raced);
        shared->reset();
        EXPECT_EQ(&shared->getRaceDifficulty(), &e.difficulty);
        const Numbers n = numbersOf(*shared);
        ASSERT_EQ(n.speeds.size(), normal.speeds.size());
        for (std::size_t i = 0; i < n.speeds.size(); ++i) {
            EXPECT_NEAR(n.speeds[i], normal.speeds[i] * e.speed, 1e-9) << i;
            EXPECT_NEAR(shared->getHunters()[i]->getMovement()->maxSpeed, n.speeds[i] / 2, 1e-9) << "patrolling " << i;
            EXPECT_NEAR(n.sights[i], normal.sights[i] * e.sight, 1e-4) << i;
        }
        ASSERT_EQ(n.itemTimes.size(), normal.itemTimes.size());
        for (std::size_t i = 0; i < n.itemTimes.size(); ++i) {
            EXPECT_DOUBLE_EQ(n.itemTimes[i], normal.itemTimes[i] * e.itemTime) << i;
            EXPECT_GE(n.returns[i], n.itemTimes[i]) << i;
        }
        EXPECT_EQ(n.row, e.row);
        EXPECT_EQ(n.toolRow, e.toolRow);
    }
    shared->setDifficulty(Difficulty::NORMAL);
    shared->reset();
    const Numbers back = numbersOf(*shared);
    EXPECT_EQ(back.speeds, normal.speeds);
    EXPECT_EQ(back.sights, normal.sights);
    EXPECT_EQ(back.itemTimes, normal.itemTimes);
    EXPECT_EQ(back.returns, normal.returns);
    EXPECT_EQ(back.row, 8);
}
