#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/KeyTable.h"
#include "app/RenderControl.h"
#include "input/KeyBindings.h"
#include "input/KeyboardProcessor.h"

namespace {

// What reached the key consumers, as "down w", "up w", "special 12".
std::vector<std::string> heard;

class Listener : public KeyConsumer {
public:
    Listener() {
        for (int k = 0; k < 256; ++k) keys.push_back(static_cast<byte>(k));
        for (int k = 1; k <= 200; ++k) specialKeys.push_back(k);
    }
    void consumeDown(byte key, int, int) override { heard.push_back(std::string("down ") + char(key)); }
    void consumeUp(byte key, int, int) override { heard.push_back(std::string("up ") + char(key)); }
    void consumeSpecial(int key, int, int) override { heard.push_back("special " + std::to_string(key)); }
};

class KeyBindingsTest : public testing::Test {
protected:
    void SetUp() override {
        heard.clear();
        KeyboardProcessor::registerConsumer(std::make_shared<Listener>());
    }
    void TearDown() override {
        KeyboardProcessor::reset();
        KeyBindings::use(KeyBindings());
    }
    static Key plain(char c) { return {false, static_cast<unsigned char>(c)}; }
    static Key special(int code) { return {true, code}; }
    static std::vector<std::string> notesOf(KeyBindings& b) {
        std::vector<std::string> out;
        for (const auto& note : b.settle()) out.push_back(note.text);
        return out;
    }
};

}  // namespace

// The consumers hear each action's default key, whatever key the player
// bound it to; the default of a moved action falls silent; other keys pass.
TEST_F(KeyBindingsTest, BoundKeysReachTheConsumersAsTheirActionsDefaultKeys) {
    KeyBindings b;
    b.bind(PlayerAction::DriveUp, plain('i'));
    b.bind(PlayerAction::DriveLeft, special(100));  // the left arrow key
    b.bind(PlayerAction::Screenshot, plain('k'));
    b.bind(PlayerAction::FullScreen, special(104));  // page up
    ASSERT_TRUE(b.settle().empty());
    KeyBindings::use(b);

    KeyBindings::processDown('i', 0, 0);
    KeyBindings::processUp('i', 0, 0);
    KeyBindings::processDown('w', 0, 0);  // drive up's default: moved away, silent
    KeyBindings::processUp('w', 0, 0);
    KeyBindings::processSpecial(100, 0, 0);
    KeyBindings::processSpecialUp(100, 0, 0);
    KeyBindings::processDown('k', 0, 0);
    KeyBindings::processUp('k', 0, 0);       // special keys have no release
    KeyBindings::processSpecial(12, 0, 0);  // F12: moved away, silent
    KeyBindings::processSpecial(104, 0, 0);
    KeyBindings::processDown('f', 0, 0);
    KeyBindings::processDown('1', 0, 0);     // fixed keys and keys of no action pass
    KeyBindings::processSpecial(3, 0, 0);
    KeyBindings::processDown('x', 0, 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"down w", "up w", "down a", "up a", "special 12", "down f",
                                               "down 1", "special 3", "down x"}));

    // The sign game's arrows followed drive up to i; bound apart, they go their own way.
    EXPECT_EQ(b.keyOf(PlayerAction::ArrowUp), plain('i'));
    b.bind(PlayerAction::ArrowUp, special(101));
    ASSERT_TRUE(b.settle().empty());
    EXPECT_EQ(b.translate(special(101)), plain('w'));
    EXPECT_EQ(b.translate(plain('i')), plain('w'));
    EXPECT_EQ(b.keyOf(PlayerAction::ArrowLeft), special(100));
}

// Pads and other inputs trigger actions directly: the same default keys.
TEST_F(KeyBindingsTest, ActionsPressedWithoutAKeyArriveAsTheirDefaultKeys) {
    KeyBindings b;
    b.bind(PlayerAction::DriveUp, plain('i'));
    KeyBindings::use(b);
    KeyBindings::press(PlayerAction::DriveUp);
    KeyBindings::release(PlayerAction::DriveUp);
    KeyBindings::press(PlayerAction::ArrowLeft);
    KeyBindings::press(PlayerAction::Screenshot);
    KeyBindings::release(PlayerAction::Screenshot);
    KeyBindings::press(PlayerAction::Pause);
    EXPECT_EQ(heard, (std::vector<std::string>{"down w", "up w", "down a", "special 12", "down p"}));
}

// Two actions on one key, or an action on a fixed key: a note, and every
// action involved keeps its default. An arrow on the drive key of its own
// direction, and swapped keys, are no conflict.
TEST_F(KeyBindingsTest, ConflictsGiveEveryActionInvolvedItsDefault) {
    KeyBindings b;
    b.bind(PlayerAction::DriveUp, plain('s'));
    b.bind(PlayerAction::DriveDown, plain('w'));
    b.bind(PlayerAction::ArrowUp, plain('s'));
    EXPECT_TRUE(notesOf(b).empty());
    EXPECT_EQ(b.translate(plain('s')), plain('w'));
    EXPECT_EQ(b.translate(plain('w')), plain('s'));

    KeyBindings c;
    c.bind(PlayerAction::MusicUp, plain('k'));
    c.bind(PlayerAction::EffectsUp, plain('k'));
    c.bind(PlayerAction::Pause, plain('r'));             // reset's key
    c.bind(PlayerAction::Mute, special(1));              // F1 shows the help
    c.bind(PlayerAction::ArrowRight, plain('a'));        // drive left's key
    c.bind(PlayerAction::FullScreen, plain('h'));        // free: kept
    const auto notes = notesOf(c);
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes[0], "key \"a\" of arrow_right is already the key of drive_left, using \"d\"");
    EXPECT_EQ(notes[1], "key \"r\" of pause is already the key of reset, using \"p\"");
    EXPECT_EQ(notes[2], "key \"F1\" of mute is kept for its own use, using \"m\"");
    EXPECT_EQ(notes[3], "key \"k\" of music_up is already the key of effects_up, using \"8\"");
    EXPECT_EQ(notes[4], "key \"k\" of effects_up is already the key of music_up, using \"0\"");
    EXPECT_EQ(c.keyOf(PlayerAction::FullScreen), plain('h'));
    for (PlayerAction a : {PlayerAction::MusicUp, PlayerAction::EffectsUp, PlayerAction::Pause,
                           PlayerAction::Mute, PlayerAction::ArrowRight})
        EXPECT_EQ(c.keyOf(a), KeyBindings::info(a).defaultKey) << KeyBindings::info(a).name;
}

TEST_F(KeyBindingsTest, KeyNamesReadBackAsTheSameKeys) {
    for (int c = ' '; c < 127; ++c) EXPECT_EQ(KeyBindings::keyNamed(KeyBindings::keyName(plain(char(c)))), plain(char(c)));
    for (int code : {1, 9, 12, 100, 101, 102, 103, 104, 105, 106, 107, 108})
        EXPECT_EQ(KeyBindings::keyNamed(KeyBindings::keyName(special(code))), special(code)) << code;
    EXPECT_EQ(KeyBindings::keyName(special(101)), "up");
    EXPECT_EQ(KeyBindings::keyName(plain(' ')), "space");
    for (const char* bad : {"", "ww", "F0", "F13", "Up", "\t", "\x7f", "\xc3\xa9", "escape"})
        EXPECT_FALSE(KeyBindings::keyNamed(bad)) << bad;
}

// The F1 help names the keys as bound; the README's table keeps the defaults.
TEST_F(KeyBindingsTest, TheHelpNamesTheBoundKeys) {
    KeyBindings b;
    b.bind(PlayerAction::DriveUp, plain('i'));
    b.bind(PlayerAction::DriveDown, plain('k'));
    b.bind(PlayerAction::DriveLeft, plain('j'));
    b.bind(PlayerAction::MusicUp, special(101));
    ASSERT_TRUE(b.settle().empty());
    KeyBindings::use(b);
    const std::string help = RenderControl::helpText();
    EXPECT_NE(help.find("  i / k "), std::string::npos) << help;
    EXPECT_NE(help.find("  j / d "), std::string::npos);
    EXPECT_NE(help.find("  i j k d at a sign "), std::string::npos);
    EXPECT_NE(help.find("  7 / up "), std::string::npos);
    EXPECT_EQ(KeyTable::markdown().find("i / k"), std::string::npos);
}
