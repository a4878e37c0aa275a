#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "input/KeyboardProcessor.h"

namespace {

std::vector<std::string> journal;

class Recorder : public KeyConsumer {
public:
    Recorder(std::string name, std::vector<byte> plain, std::vector<int> special = {}) : name(std::move(name)) {
        keys = std::move(plain);
        specialKeys = std::move(special);
    }
    void consumeDown(byte key, int, int) override { journal.push_back(name + " down " + char(key)); }
    void consumeUp(byte key, int, int) override { journal.push_back(name + " up " + char(key)); }
    void consumeSpecial(int key, int, int) override { journal.push_back(name + " special " + std::to_string(key)); }
    std::string name;
};

// Unregisters itself while handling its key, keeping no other reference.
class OneShot : public KeyConsumer {
public:
    OneShot() { keys = {'w'}; }
    ~OneShot() override { destroyed = true; }
    void consumeDown(byte, int, int) override {
        KeyboardProcessor::unregisterConsumer(this);
        handled = !destroyed;  // still alive after unregistering
        journal.push_back("oneshot");
    }
    static bool destroyed;
    static bool handled;
};
bool OneShot::destroyed = false;
bool OneShot::handled = false;

class KeyboardProcessorTest : public testing::Test {
protected:
    void SetUp() override {
        KeyboardProcessor::reset();
        journal.clear();
    }
    void TearDown() override { KeyboardProcessor::reset(); }
};

}  // namespace

TEST_F(KeyboardProcessorTest, KeysReachEveryInterestedConsumerInOrder) {
    auto a = std::make_shared<Recorder>("a", std::vector<byte>{'w', 'r'});
    auto b = std::make_shared<Recorder>("b", std::vector<byte>{'w'});
    KeyboardProcessor::registerConsumer(a);
    KeyboardProcessor::registerConsumer(b);
    KeyboardProcessor::processDown('w', 0, 0);
    KeyboardProcessor::processUp('w', 0, 0);
    KeyboardProcessor::processDown('r', 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"a down w", "b down w", "a up w", "b up w", "a down r"}));
}

TEST_F(KeyboardProcessorTest, UnclaimedAndWrongCaseKeysAreIgnored) {
    KeyboardProcessor::registerConsumer(std::make_shared<Recorder>("a", std::vector<byte>{'r'}));
    KeyboardProcessor::processDown('R', 0, 0);
    KeyboardProcessor::processDown('x', 0, 0);
    KeyboardProcessor::processSpecial(5, 0, 0);
    EXPECT_TRUE(journal.empty());
    EXPECT_FALSE(KeyboardProcessor::processesKey('R'));
    EXPECT_EQ(KeyboardProcessor::getForKey('x'), nullptr);
    EXPECT_TRUE(KeyboardProcessor::processesKey('r'));
}

TEST_F(KeyboardProcessorTest, SpecialKeysAreSeparateFromPlainKeys) {
    // F1 (1) and the plain key code 1 are different keys.
    auto f = std::make_shared<Recorder>("f", std::vector<byte>{}, std::vector<int>{1, 101});
    KeyboardProcessor::registerConsumer(f);
    KeyboardProcessor::processDown(1, 0, 0);
    KeyboardProcessor::processSpecial(1, 0, 0);
    KeyboardProcessor::processSpecial(101, 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"f special 1", "f special 101"}));
}

TEST_F(KeyboardProcessorTest, PlainAndSpecialLookupsNeverMix) {
    // Plain 'd' and 'w' share their codes (100, 119) with special keys: the
    // left arrow is special key 100. A char literal must find the plain key.
    auto plain = std::make_shared<Recorder>("plain", std::vector<byte>{'d', 'w'});
    auto arrows = std::make_shared<Recorder>("arrows", std::vector<byte>{}, std::vector<int>{100, 119});
    KeyboardProcessor::registerConsumer(arrows);
    KeyboardProcessor::registerConsumer(plain);
    EXPECT_EQ(KeyboardProcessor::getForKey('d'), plain);
    EXPECT_EQ(KeyboardProcessor::getForKey(119), plain);
    EXPECT_EQ(KeyboardProcessor::getForSpecialKey(100), arrows);
    EXPECT_EQ(KeyboardProcessor::getForSpecialKey('w'), arrows);
    EXPECT_TRUE(plain->consumesKey('d'));
    EXPECT_FALSE(plain->consumesSpecialKey('d'));
    EXPECT_FALSE(arrows->consumesKey('d'));
    EXPECT_FALSE(KeyboardProcessor::processesSpecialKey(101));
    KeyboardProcessor::unregisterForSpecialKey(100);
    EXPECT_EQ(KeyboardProcessor::getForSpecialKey(119), nullptr);
    EXPECT_EQ(KeyboardProcessor::getForKey('w'), plain);
    KeyboardProcessor::unregisterForKey('d');
    EXPECT_FALSE(KeyboardProcessor::processesKey('w'));
}

TEST_F(KeyboardProcessorTest, UnregisterForKeyRemovesOnlyTheFirst) {
    auto a = std::make_shared<Recorder>("a", std::vector<byte>{'w'});
    auto b = std::make_shared<Recorder>("b", std::vector<byte>{'w'});
    KeyboardProcessor::registerConsumer(a);
    KeyboardProcessor::registerConsumer(b);
    KeyboardProcessor::unregisterForKey('w');
    EXPECT_EQ(KeyboardProcessor::getForKey('w'), b);
    KeyboardProcessor::unregisterConsumer(b);
    EXPECT_FALSE(KeyboardProcessor::processesKey('w'));
    KeyboardProcessor::unregisterConsumer(b);  // not registered: nothing happens
}

TEST_F(KeyboardProcessorTest, ConsumerUnregisteringItselfStaysAliveUntilItReturns) {
    OneShot::destroyed = false;
    OneShot::handled = false;
    auto after = std::make_shared<Recorder>("after", std::vector<byte>{'w'});
    KeyboardProcessor::registerConsumer(std::make_shared<OneShot>());
    KeyboardProcessor::registerConsumer(after);
    KeyboardProcessor::processDown('w', 0, 0);
    EXPECT_TRUE(OneShot::handled);
    EXPECT_TRUE(OneShot::destroyed);  // released once the dispatch let go of it
    // The entry that moved into its place is not called for this event.
    EXPECT_EQ(journal, (std::vector<std::string>{"oneshot"}));
    KeyboardProcessor::processDown('w', 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"oneshot", "after down w"}));
}

TEST_F(KeyboardProcessorTest, ConsumerAddedDuringDispatchSeesTheSameKey) {
    class Adder : public KeyConsumer {
    public:
        Adder() { keys = {'q'}; }
        void consumeDown(byte, int, int) override {
            if (!added) KeyboardProcessor::registerConsumer(std::make_shared<Recorder>("late", std::vector<byte>{'q'}));
            added = true;
        }
        bool added = false;
    };
    KeyboardProcessor::registerConsumer(std::make_shared<Adder>());
    KeyboardProcessor::processDown('q', 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"late down q"}));
}

TEST_F(KeyboardProcessorTest, APauseHoldsBackPressesButNeverReleases) {
    class Awake : public Recorder {
    public:
        Awake() : Recorder("awake", {'p'}, {12}) { activeWhilePaused = true; }
    };
    auto car = std::make_shared<Recorder>("car", std::vector<byte>{'w'}, std::vector<int>{3});
    KeyboardProcessor::registerConsumer(car);
    KeyboardProcessor::registerConsumer(std::make_shared<Awake>());
    KeyboardProcessor::processDown('w', 0, 0);
    KeyboardProcessor::setPaused(true);
    KeyboardProcessor::processUp('w', 0, 0);       // held before the pause, let go during it
    KeyboardProcessor::processDown('w', 0, 0);     // pressed during the pause: lost
    KeyboardProcessor::processSpecial(3, 0, 0);    // lost too
    KeyboardProcessor::processSpecial(12, 0, 0);
    KeyboardProcessor::processDown('p', 0, 0);
    EXPECT_TRUE(KeyboardProcessor::processesKey('w')) << "still registered";
    KeyboardProcessor::reset();  // a new level starts unpaused
    EXPECT_FALSE(KeyboardProcessor::isPaused());
    EXPECT_EQ(journal, (std::vector<std::string>{"car down w", "car up w", "awake special 12", "awake down p"}));
}
