#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "assets/Billboard.h"
#include "assets/MilkshapeNode.h"
#include "game/Sign.h"
#include "game/SignStates.h"
#include "game/UnmountAction.h"
#include "game/UnmountConsumer.h"
#include "input/KeyboardProcessor.h"
#include "overlay/Overlay3D.h"
#include "overlay/OverlayList.h"
#include "overlay/OverlayStack.h"
#include "support/GlTestWindow.h"
#include "vehicles/CarControl.h"
#include "vehicles/StaticCarMovement.h"

namespace {

constexpr int SLOTS = 8;

// The sign game as the level plays it: a real sign model from the game's
// data, eight arrow pictures, the message pictures, and the player's car
// control on the keyboard processor. Keys travel through the GLUT entry
// points; the expected keys are read from the arrows on the HUD.
class SignGameTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // The level's models and pictures open relative to the working directory.
        if (!GlTestWindow::ensureInGameDir()) return;
    }

    void SetUp() override {
        REQUIRE_GL();
        KeyboardProcessor::reset();
        UnmountAction::SEQUENCE_LENGTH_FACTOR = 1.0f;
        std::srand(7);
        movement = std::make_shared<StaticCarMovement>(std::make_shared<GeometryNode>("car"));
        control = std::make_shared<CarControl>(movement);
        KeyboardProcessor::registerConsumer(control);

        auto model = std::make_shared<MilkshapeNode>("sign");
        ASSERT_TRUE(model->load("models", "sign.txt"));
        model->enableDisplayList();
        sign = std::make_shared<Sign>(model);

        arrows = std::make_shared<OverlayList>();
        arrows->collapseHidden = false;
        arrows->visible = false;
        for (int i = 0; i < SLOTS; ++i) {
            auto overlay = std::make_shared<Overlay3D>(board("images/arrow.png"));
            overlay->visible = false;
            arrows->items.push_back(overlay);
        }
        messages = std::make_shared<OverlayStack>();
        gotSign = board("images/got_sign.png");
        finished = board("images/sign_finished.png");
        error = board("images/unmount_error.png");
        action = makeAction(sign);
    }

    void TearDown() override {
        KeyboardProcessor::reset();
        UnmountAction::SEQUENCE_LENGTH_FACTOR = 1.0f;
    }

    static std::shared_ptr<Billboard> board(const char* file) {
        auto b = std::make_shared<Billboard>(file, true, file);
        b->overlay = true;
        return b;
    }

    std::shared_ptr<UnmountAction> makeAction(std::shared_ptr<Sign> s) {
        auto a = std::make_shared<UnmountAction>(std::move(s));
        a->gotSignBoard = gotSign;
        a->signFinishedBoard = finished;
        a->unmountErrorBoard = error;
        a->messageStack = messages;
        a->sequenceOverlay = arrows;
        return a;
    }

    static void press(char key) {
        KeyboardProcessor::processDown(static_cast<unsigned char>(key), 0, 0);
        KeyboardProcessor::processUp(static_cast<unsigned char>(key), 0, 0);
    }
    static void type(const std::string& keys) {
        for (char k : keys) press(k);
    }

    // The key an arrow asks for, from its turn about the view axis.
    char keyOf(int slot) const {
        const float turn = arrows->items[slot]->getBillboard()->getZrot();
        const int code = static_cast<int>(std::lround(turn / 90.0f));
        EXPECT_FLOAT_EQ(turn, code * 90.0f) << "slot " << slot;
        EXPECT_TRUE(code >= 0 && code <= 3) << "slot " << slot << " turned " << turn;
        return "dwas"[code & 3];
    }
    // The keys of the arrows shown, left to right, and where they are.
    std::string shownKeys() const {
        std::string keys;
        for (int i = 0; i < SLOTS; ++i)
            if (arrows->items[i]->visible) keys += keyOf(i);
        return keys;
    }
    int firstShownSlot() const {
        for (int i = 0; i < SLOTS; ++i)
            if (arrows->items[i]->visible) return i;
        return -1;
    }
    static char otherThan(char key) { return key == 'w' ? 'a' : 'w'; }

    std::shared_ptr<Billboard> top() const {
        return messages->getStack().empty() ? nullptr : messages->getStack().back();
    }
    bool onStack(const std::shared_ptr<Billboard>& b) const {
        for (const auto& entry : messages->getStack())
            if (entry == b) return true;
        return false;
    }
    bool plateShown() const {
        return sign->node->getMesh("face")->visible || sign->node->getMesh("backside")->visible;
    }

    std::shared_ptr<StaticCarMovement> movement;
    std::shared_ptr<CarControl> control;
    std::shared_ptr<Sign> sign;
    std::shared_ptr<OverlayList> arrows;
    std::shared_ptr<OverlayStack> messages;
    std::shared_ptr<Billboard> gotSign, finished, error;
    std::shared_ptr<UnmountAction> action;
};

}  // namespace

TEST_F(SignGameTest, LengthFollowsTheFactorAndStaysWithinTheEightSlots) {
    struct Case {
        float factor;
        int arrows;
    };
    std::string seen;
    for (Case c : {Case{1.0f, 8}, Case{0.5f, 4}, Case{0.25f, 2}, Case{2.0f, 8}, Case{0.01f, 1}}) {
        UnmountAction::SEQUENCE_LENGTH_FACTOR = c.factor;
        action->enter();
        EXPECT_TRUE(arrows->visible);
        const std::string keys = shownKeys();
        EXPECT_EQ(static_cast<int>(keys.size()), c.arrows) << "factor " << c.factor;
        EXPECT_EQ(firstShownSlot(), 0);
        seen += keys;
        action->abort();
        EXPECT_EQ(shownKeys(), "");
        EXPECT_FALSE(arrows->visible);
    }
    // Over 23 arrows every direction turns up (a badly scaled random number
    // gives codes far outside 0..3, caught in keyOf).
    for (char k : std::string("wasd")) EXPECT_NE(seen.find(k), std::string::npos) << k;
}

TEST_F(SignGameTest, RightRowDismantlesTheSignAndGivesTheCarBack) {
    SignStates states;
    auto other = std::make_shared<Sign>(nullptr);
    states.add(sign);
    states.add(other);
    EXPECT_FALSE(states.isAllUnmounted());

    press('a');
    KeyboardProcessor::processDown('w', 0, 0);  // driving into the sign
    action->enter();
    action->enter();  // pushed around inside the sphere: still one game
    EXPECT_FALSE(movement->isAccelerating());
    EXPECT_FALSE(movement->isSteering());
    EXPECT_FALSE(control->enabled);

    const std::string keys = shownKeys();
    ASSERT_EQ(keys.size(), 8u);
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        press(keys[i]);
        EXPECT_EQ(shownKeys(), keys.substr(i + 1)) << "after key " << i;
        EXPECT_EQ(firstShownSlot(), static_cast<int>(i + 1));  // arrows keep their slots
        EXPECT_FALSE(movement->isAccelerating() || movement->isBraking() || movement->isSteering());
        EXPECT_TRUE(plateShown());
        EXPECT_TRUE(messages->getStack().empty());
    }
    EXPECT_FALSE(sign->dismounted);
    press(keys.back());

    EXPECT_TRUE(sign->dismounted);
    EXPECT_FALSE(plateShown());
    EXPECT_EQ(top(), finished);
    EXPECT_EQ(shownKeys(), "");
    EXPECT_FALSE(arrows->visible);
    EXPECT_TRUE(control->enabled);
    EXPECT_FALSE(movement->isAccelerating());  // the last key was the game's
    EXPECT_FALSE(states.updateUnmountStates());
    other->dismounted = true;
    EXPECT_TRUE(states.updateUnmountStates());

    // The game has let go of the keys: they drive the car and show no error.
    press('d');
    KeyboardProcessor::processDown('w', 0, 0);
    EXPECT_TRUE(movement->isAccelerating());
    EXPECT_EQ(top(), finished);
    action->leave();
    EXPECT_TRUE(messages->getStack().empty());

    states.clear();
    EXPECT_TRUE(states.isAllUnmounted());
    EXPECT_TRUE(SignStates().updateUnmountStates());
}

TEST_F(SignGameTest, WrongKeyRestartsTheSameRow) {
    action->enter();
    const std::string keys = shownKeys();
    ASSERT_EQ(keys.size(), 8u);
    type(keys.substr(0, 3));
    EXPECT_EQ(shownKeys(), keys.substr(3));

    press(otherThan(keys[3]));
    EXPECT_EQ(shownKeys(), keys);  // the same arrows, all of them
    EXPECT_EQ(top(), error);
    // A wrong first key keeps the game at the first arrow.
    press(otherThan(keys[0]));
    EXPECT_EQ(shownKeys(), keys);
    EXPECT_EQ(top(), error);
    EXPECT_EQ(messages->getStack().size(), 1u);

    // The next key first clears the error picture, then counts.
    press(keys[0]);
    EXPECT_TRUE(messages->getStack().empty());
    EXPECT_EQ(shownKeys(), keys.substr(1));
    // The key the fourth arrow used to want no longer counts at the second.
    if (keys[3] != keys[1]) {
        press(keys[3]);
        EXPECT_EQ(shownKeys(), keys);
        press(keys[0]);
    }
    // Leaving the sphere takes the pictures but not the game.
    press(otherThan(keys[1]));
    action->leave();
    EXPECT_FALSE(onStack(error));
    EXPECT_EQ(shownKeys(), keys);
    type(keys);
    EXPECT_TRUE(sign->dismounted);
    EXPECT_TRUE(control->enabled);
}

TEST_F(SignGameTest, OnlyWasdReachTheGame) {
    action->enter();
    const std::string keys = shownKeys();
    for (char k : std::string("xrW A\x1b")) press(k);
    // The arrow keys and F-keys are special keys, whatever their codes.
    for (int special : {100, 101, 102, 103, 119, 1}) KeyboardProcessor::processSpecial(special, 0, 0);
    EXPECT_EQ(shownKeys(), keys);
    EXPECT_TRUE(messages->getStack().empty());
    EXPECT_FALSE(control->enabled);
    EXPECT_EQ(KeyboardProcessor::getForKey('x'), nullptr);
    EXPECT_EQ(KeyboardProcessor::getForSpecialKey(100), nullptr);

    press(keys[0]);
    EXPECT_EQ(shownKeys(), keys.substr(1));
    // The car control still comes first for w: that is how the game finds it.
    EXPECT_EQ(KeyboardProcessor::getForKey('w'), control);
}

TEST_F(SignGameTest, DismantledSignOnlyShowsItIsGone) {
    sign->dismounted = true;
    KeyboardProcessor::processDown('w', 0, 0);
    KeyboardProcessor::processDown('d', 0, 0);
    action->enter();
    EXPECT_EQ(top(), gotSign);
    EXPECT_TRUE(movement->isAccelerating());
    EXPECT_TRUE(movement->isSteeringRight());
    EXPECT_TRUE(control->enabled);
    EXPECT_EQ(shownKeys(), "");
    EXPECT_EQ(action->getConsumer(), nullptr);
    press('s');
    EXPECT_EQ(top(), gotSign);  // no game to clear it
    action->in();
    action->leave();
    EXPECT_TRUE(messages->getStack().empty());
}

TEST_F(SignGameTest, ResetDuringAGameGivesTheSteeringBack) {
    action->enter();
    const std::string keys = shownKeys();
    type(keys.substr(0, 2));
    press(otherThan(keys[2]));
    ASSERT_EQ(top(), error);

    action->abort();
    EXPECT_EQ(shownKeys(), "");
    EXPECT_FALSE(arrows->visible);
    EXPECT_TRUE(messages->getStack().empty());
    EXPECT_TRUE(control->enabled);
    EXPECT_FALSE(sign->dismounted);
    EXPECT_TRUE(plateShown());
    // The keys drive again and reach no game.
    EXPECT_EQ(KeyboardProcessor::getForKey('w'), control);
    type("sdaw");
    KeyboardProcessor::processDown('w', 0, 0);
    EXPECT_TRUE(movement->isAccelerating());
    EXPECT_TRUE(messages->getStack().empty());

    // A new visit starts a new game; a reset without a game changes nothing.
    action->enter();
    EXPECT_EQ(shownKeys().size(), 8u);
    EXPECT_FALSE(control->enabled);
    action->abort();
    action->abort();
    EXPECT_TRUE(control->enabled);
    makeAction(sign)->abort();
    EXPECT_TRUE(control->enabled);
}

TEST_F(SignGameTest, MissingPiecesDoNotStopTheGame) {
    // No overlay, no pictures, a sign without a model: the row is still typed.
    auto bare = std::make_shared<UnmountAction>(std::make_shared<Sign>(nullptr));
    bare->enter();
    auto game = bare->getConsumer();
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(control->enabled);
    press('x');
    std::string keys;
    for (int code : game->getSequence()) keys += "dwas"[code];
    press(otherThan(keys[0]));
    type(keys);
    EXPECT_TRUE(bare->getSign()->dismounted);
    EXPECT_TRUE(control->enabled);
    bare->leave();
    bare->abort();

    // No car control on the keyboard: no game, and no crash.
    KeyboardProcessor::reset();
    action->enter();
    EXPECT_EQ(action->getConsumer(), nullptr);
    EXPECT_EQ(shownKeys(), "");
    // An empty sign slot is ignored.
    UnmountAction(nullptr).enter();
    SignStates states;
    states.add(nullptr);
    EXPECT_TRUE(states.getSigns().empty());
}
