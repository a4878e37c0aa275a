#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "VehicleWorld.h"
#include "input/Gamepad.h"
#include "input/KeyboardProcessor.h"
#include "input/PadKeys.h"
#include "input/VirtualPad.h"
#include "math/Constants.h"
#include "support/GlTestWindow.h"
#include "vehicles/CarControl.h"
#include "vehicles/PhysicCarMovement.h"

// The pads are SDL virtual joysticks in this process: SDL's game controller
// layer reads them as it reads a pad on a cable, and the game's Gamepad
// presses keys through the real KeyboardProcessor.
namespace {

// Writes down every press ("w+") and release ("w-") of the keys a pad stands for.
class KeyLog : public KeyConsumer {
public:
    KeyLog() {
        keys = {'w', 'a', 's', 'd', 'p', 'r'};
        activeWhilePaused = true;
    }
    void consumeDown(byte key, int, int) override { log += std::string(1, static_cast<char>(key)) + "+ "; }
    void consumeUp(byte key, int, int) override { log += std::string(1, static_cast<char>(key)) + "- "; }
    // What came since the last call.
    std::string take() { return std::exchange(log, ""); }

private:
    std::string log;
};

// A gamepad feeding the keyboard processor, its messages collected.
struct PadOnKeys {
    PadKeys keys;
    std::vector<std::string> messages;
    Gamepad pad{[this](Gamepad::Action a, bool pressed) { keys.act(a, pressed); },
                [this](const std::string& text) { messages.push_back(text); }};
};

}  // namespace

TEST(Gamepad, PressesTheKeysOfItsActionsOnceAndLetsGoWhenUnplugged) {
    KeyboardProcessor::reset();
    auto log = std::make_shared<KeyLog>();
    KeyboardProcessor::registerConsumer(log);
    PadOnKeys game;
    ASSERT_TRUE(game.pad.isAvailable());
    VirtualPad hand;
    auto set = [&](const std::string& line) {
        ASSERT_TRUE(hand.play(line)) << line;
        game.pad.poll();
    };

    // Plugged in while playing: announced, and nothing pressed.
    set("plug");
    EXPECT_EQ(game.messages, std::vector<std::string>{"Pad connected: Zarvik Virtual Pad"});
    EXPECT_EQ(game.pad.padCount(), 1);
    EXPECT_EQ(log->take(), "");

    // D-pad left steers and types the left arrow: a single press of a. The
    // stick then holds a on after the d-pad lets go.
    set("press dpleft");
    EXPECT_EQ(log->take(), "a+ ");
    set("axis leftx -1");
    set("release dpleft");
    EXPECT_EQ(log->take(), "");
    set("axis leftx 0");
    EXPECT_EQ(log->take(), "a- ");

    // The stick counts past the dead zone: 0.3 of its travel steers under the
    // default quarter, not under a half.
    set("axis leftx 0.2");
    EXPECT_EQ(log->take(), "");
    set("axis leftx 0.3");
    EXPECT_EQ(log->take(), "d+ ");
    game.pad.setDeadZone(0.5);
    game.pad.poll();
    EXPECT_EQ(log->take(), "d- ");
    set("axis leftx 0");
    game.pad.setDeadZone(Gamepad::DEFAULT_DEAD_ZONE);
    // Each side of the stick and each trigger: a fifth of its travel is rest,
    // three tenths press its key.
    struct Axis {
        const char* name;
        double side;
        const char* key;
    };
    for (const Axis& axis : {Axis{"leftx", -1.0, "a"}, Axis{"leftx", 1.0, "d"}, Axis{"righttrigger", 1.0, "w"},
                             Axis{"lefttrigger", 1.0, "s"}}) {
        const std::string name = std::string(axis.name) + (axis.side < 0 ? " left" : "");
        set("axis " + std::string(axis.name) + " " + std::to_string(0.2 * axis.side));
        EXPECT_EQ(log->take(), "") << name << " inside the dead zone";
        set("axis " + std::string(axis.name) + " " + std::to_string(0.3 * axis.side));
        EXPECT_EQ(log->take(), std::string(axis.key) + "+ ") << name;
        set("axis " + std::string(axis.name) + " 0");
        EXPECT_EQ(log->take(), std::string(axis.key) + "- ") << name;
    }

    // A and the right trigger accelerate, B and the left trigger brake, the
    // d-pad's up and down type those arrows; Start pauses, Back restarts.
    set("press a");
    set("axis righttrigger 1");
    set("release a");
    set("axis righttrigger 0.2");
    EXPECT_EQ(log->take(), "w+ w- ");
    set("axis lefttrigger 0.9");
    set("press dpdown");
    set("axis lefttrigger 0");
    EXPECT_EQ(log->take(), "s+ ");
    set("press dpup");
    set("release dpup");
    set("press start");
    set("release start");
    set("press back");
    set("release back");
    EXPECT_EQ(log->take(), "w+ w- p+ p- r+ r- ");

    // Unplugged with d-pad down and B held: both let go, and it is announced.
    set("press b");
    set("unplug");
    EXPECT_EQ(log->take(), "s- ");
    EXPECT_EQ(game.messages.back(), "Pad disconnected: Zarvik Virtual Pad");
    EXPECT_EQ(game.pad.padCount(), 0);
    // Back in, it starts from rest.
    set("plug");
    EXPECT_EQ(game.messages.back(), "Pad connected: Zarvik Virtual Pad");
    EXPECT_EQ(log->take(), "");

    // Nonsense lines change nothing.
    for (const char* line : {"press nothing", "axis leftx", "axis sideways 1", "wait soon", "wiggle"})
        EXPECT_FALSE(hand.play(line)) << line;
    KeyboardProcessor::reset();
}

namespace {

struct DriveEnd {
    Matrix pose;
    float heading;
    std::string keys;  // the presses and releases the keyboard processor handed on
};

// The player's car on the floor, driven by the keys or by a pad: a touch of
// the right trigger and of the stick inside the dead zone for a second, two
// seconds at full throttle, one more with the stick well left, one with
// everything let go. The pad is plugged in and seen before the drive starts.
DriveEnd drive(bool byPad) {
    KeyboardProcessor::reset();
    VehicleWorld world;
    auto car = VehicleWorld::playerCar(0.0f, 0.3f, 0.0f);
    auto movement = std::make_shared<PhysicCarMovement>(car);
    car->physicAllocate();
    world.animator.registerAnimation(movement);
    KeyboardProcessor::registerConsumer(std::make_shared<CarControl>(movement));
    auto log = std::make_shared<KeyLog>();
    KeyboardProcessor::registerConsumer(log);
    PadOnKeys game;
    VirtualPad hand;
    hand.plug();
    game.pad.poll();
    EXPECT_EQ(game.pad.padCount(), 1);
    world.run(1.0);  // settle on the floor

    auto input = [&](const char* line, char key, bool down) {
        if (byPad) {
            EXPECT_TRUE(hand.play(line)) << line;
            game.pad.poll();
        } else if (key) {
            down ? KeyboardProcessor::processDown(key, 0, 0) : KeyboardProcessor::processUp(key, 0, 0);
        }
    };
    input("axis righttrigger 0.2", 0, true);
    input("axis leftx 0.2", 0, true);
    world.run(1.0);
    EXPECT_EQ(movement->speed, 0.0f) << "inside the dead zone";
    EXPECT_FALSE(movement->isSteering()) << "inside the dead zone";
    EXPECT_EQ(log->take(), "") << "inside the dead zone";
    input("axis righttrigger 1", 'w', true);
    world.run(2.0);
    EXPECT_NEAR(movement->speed, 14.0f, 1e-3) << "7 units per second squared";
    input("axis leftx -0.8", 'a', true);
    world.run(1.0);
    EXPECT_TRUE(movement->isSteeringLeft());
    input("axis leftx 0", 'a', false);
    input("axis righttrigger 0", 'w', false);
    EXPECT_FALSE(movement->isAccelerating() || movement->isSteering());
    world.run(1.0);
    Matrix pose;
    NewtonBodyGetMatrix(car->getPhysicVolume()->body, pose.data());
    const DriveEnd end{pose, movement->getHeading(), log->take()};
    KeyboardProcessor::reset();
    return end;
}

}  // namespace

// The pad drives the same car the same way as the keys: the same place and heading at the end.
TEST(Gamepad, DrivesTheCarForwardAndSteersAsTheKeysDo) {
    REQUIRE_GL();
    const DriveEnd keys = drive(false);
    const DriveEnd pad = drive(true);
    // Forward along -Z, then a second turning left at 100 degrees a second, a little less near full speed.
    EXPECT_LT(pad.pose[14], -25.0f);
    EXPECT_GT(pad.heading - static_cast<float>(-HALF_PI), 0.5f);
    EXPECT_LT(pad.pose[12], -2.0f) << "the nose swung to the left (-X)";
    EXPECT_EQ(keys.keys, "w+ a+ a- w- ") << "the keys reached the keyboard processor's consumers";
    EXPECT_EQ(pad.keys, keys.keys) << "the pad pressed the same keys";
    EXPECT_FLOAT_EQ(pad.heading, keys.heading);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(pad.pose[i], keys.pose[i], 1e-4) << "pose element " << i;
}
