// The menus without drawing: panels, focus, values, going back, and the
// routing of keys, pad actions and the mouse that MenuController does.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/Level.h"
#include "menu/MenuController.h"
#include "menu/MenuLayout.h"
#include "menu/MenuStack.h"
#include "support/GlTestWindow.h"

namespace {

std::shared_ptr<Menu> panelOf(const std::string& title, Menu::Role role = Menu::Role::OTHER) {
    return std::make_shared<Menu>(title, role);
}

// The program around the menus, as far as they can tell: settings kept in
// a map, bindings used at once, the calls counted.
class FakeHost : public MenuHost {
public:
    int setting(MenuSetting which) const override {
        const auto it = values.find(which);
        return it == values.end() ? 0 : it->second;
    }
    void changeSetting(MenuSetting which, int value) override {
        values[which] = value;
        changes.push_back(which);
    }
    void keepBindings(const KeyBindings& bindings, const std::vector<PlayerAction>& changed) override {
        KeyBindings::use(bindings);
        kept = changed;
    }
    void switchLevel(LevelDescription level) override { switched.push_back(level.id); }
    void quit() override { ++quits; }

    std::map<MenuSetting, int> values{{MenuSetting::MUSIC, 100}};
    std::vector<MenuSetting> changes;
    std::vector<PlayerAction> kept;
    std::vector<std::string> switched;
    int quits = 0;
};

constexpr Key plain(char c) { return {false, static_cast<unsigned char>(c)}; }
constexpr Key ENTER = {false, 13}, BACKSPACE = {false, 8}, DOWN = {true, 103}, RIGHT = {true, 102},
              LEFT = {true, 100}, F1 = {true, 1}, ESCAPE = {false, 27};

class MenuControllerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GlTestWindow::ensure(640, 480)) << "no X display: run the tests through scripts/test.sh";
        KeyBindings::use(KeyBindings());
        level = std::make_shared<Level>();
    }
    void TearDown() override { KeyBindings::use(KeyBindings()); }
    std::unique_ptr<MenuController> make(bool startPanel = true) {
        return std::make_unique<MenuController>(level, host, MenuController::Options{startPanel, true, true});
    }
    static std::string topTitle(MenuController& menus) {
        const Menu* top = menus.getStack().top();
        return top ? top->title : "";
    }
    MenuController* keep(std::unique_ptr<MenuController> menus) {
        kept.push_back(std::move(menus));
        return kept.back().get();
    }
    std::shared_ptr<Level> level;
    FakeHost host;
    std::vector<std::unique_ptr<MenuController>> kept;
};

}  // namespace

TEST(Menu, TheFocusWrapsValuesKeepTheirRangeAndChoosingRunsTheEntry) {
    Menu menu("Test");
    int chosen = 0;
    std::vector<int> written;
    menu.entries = {MenuEntry::action("Go", [&] { ++chosen; }),
                    MenuEntry::range("Music", 0, 100, 10, 95, " %", [&](int v) { written.push_back(v); }),
                    MenuEntry::choice("Size", {"small", "large"}, 1, [&](int v) { written.push_back(v); })};
    EXPECT_EQ(menu.entries[1].value, 95) << "a value off its steps stays where it is";
    menu.moveFocus(-1);
    EXPECT_EQ(menu.focus(), 2) << "up from the first entry wraps to the last";
    menu.moveFocus(1);
    EXPECT_EQ(menu.focus(), 0) << "down from the last wraps to the first";
    EXPECT_FALSE(menu.change(1)) << "an action has no value";
    menu.choose();
    EXPECT_EQ(chosen, 1);

    menu.moveFocus(1);
    EXPECT_TRUE(menu.change(1));
    EXPECT_FALSE(menu.change(1)) << "the range ends at 100";
    EXPECT_EQ(menu.entries[1].valueText(), "100 %");
    for (int i = 0; i < 12; ++i) menu.change(-1);
    EXPECT_EQ(menu.entries[1].value, 0);
    EXPECT_EQ(written, (std::vector<int>{100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0}))
        << "each change written once, none past the ends";
    menu.choose();
    EXPECT_EQ(menu.entries[1].value, 10) << "choosing steps a value on";

    written.clear();
    menu.moveFocus(1);
    menu.change(1);
    menu.change(1);
    EXPECT_EQ(written, (std::vector<int>{0, 1})) << "a list of choices wraps round";
    EXPECT_EQ(menu.entries[2].valueText(), "large");
    menu.focusOn(7);
    EXPECT_EQ(menu.focus(), 2) << "an entry that is not there takes no focus";
}

TEST(Menu, BackClosesTheTopPanelUnlessItStaysAndRolesCloseWhatIsAboveThem) {
    MenuStack stack;
    int left = 0;
    auto start = panelOf("start", Menu::Role::START);
    start->stays = true;
    auto pause = panelOf("pause", Menu::Role::PAUSE);
    pause->leaving = [&] { ++left; };
    stack.open(start);
    stack.open(pause);
    stack.open(panelOf("settings"));
    stack.back();
    EXPECT_EQ(stack.top()->title, "pause");
    stack.command(MenuCommand::BACK);
    EXPECT_EQ(stack.top()->title, "start");
    EXPECT_EQ(left, 1) << "leaving the pause panel resumes";
    stack.back();
    EXPECT_EQ(stack.top()->title, "start") << "the start panel is left by racing, not by going back";

    stack.open(pause);
    stack.open(panelOf("controls"));
    stack.closeFrom(Menu::Role::PAUSE);
    EXPECT_EQ(stack.top()->title, "start") << "the pause ended: its panel and those above it close";
    EXPECT_EQ(left, 1) << "closing is not going back";

    // An entry that closes its own panel runs to its end on a live panel.
    auto closing = panelOf("closing");
    closing->entries = {MenuEntry::action("Close", [&] { stack.closeAll(); })};
    stack.open(closing);
    stack.command(MenuCommand::CHOOSE);
    EXPECT_FALSE(stack.isOpen());

    // A binding waits for a key: moves do nothing, back stops waiting.
    stack.open(closing);
    Key got{};
    stack.awaitKey([&](Key key) { got = key; });
    stack.command(MenuCommand::DOWN);
    stack.back();
    EXPECT_FALSE(stack.awaitsKey());
    EXPECT_TRUE(stack.isOpen()) << "back ended the wait, not the panel";
    stack.awaitKey([&](Key key) { got = key; });
    stack.keyPressed(plain('k'));
    EXPECT_EQ(got, plain('k'));
    EXPECT_FALSE(stack.awaitsKey());
}

TEST(Menu, TheLayoutFindsTheEntryUnderThePointerAndFitsASmallWindow) {
    Menu menu("Test");
    menu.lines = {"one line"};
    for (int i = 0; i < 25; ++i) menu.entries.push_back(MenuEntry::action("entry", nullptr));
    const MenuLayout big(menu, 800, 600);
    EXPECT_GE(big.panel.bottom, 0);
    EXPECT_LE(big.panel.top, 600) << "25 rows shrink to stay inside the window";
    const MenuLayout::Rect third = big.rows[2];
    EXPECT_EQ(big.entryAt((third.left + third.right) / 2, (third.bottom + third.top) / 2), 2);
    EXPECT_EQ(big.entryAt(big.panel.left - 1, (third.bottom + third.top) / 2), -1);
    EXPECT_EQ(big.entryAt(third.left, big.titleBaseline), -1) << "the title is no entry";
    for (std::size_t i = 1; i < big.rows.size(); ++i) EXPECT_EQ(big.rows[i].top, big.rows[i - 1].bottom);
    const MenuLayout twice(menu, 800, 600, 2.0);
    EXPECT_LE(twice.panel.top, 600);
    EXPECT_LE(twice.panel.right - twice.panel.left, 800);
}

TEST_F(MenuControllerTest, TheStartPanelTakesMenuKeysAndADriveKeyClosesItAndDrives) {
    MenuController& menus = *keep(make());
    EXPECT_EQ(topTitle(menus), "Zarvik");
    EXPECT_FALSE(menus.keyDown(ESCAPE)) << "Escape quits as always";
    EXPECT_FALSE(menus.keyDown(F1)) << "F1's help still shows";
    EXPECT_TRUE(menus.keyDown(DOWN));
    EXPECT_TRUE(menus.keyDown(DOWN));
    EXPECT_TRUE(menus.keyDown(ENTER));
    EXPECT_EQ(topTitle(menus), "Settings");
    // In any other panel the drive keys move: w up, s down, d a value up.
    EXPECT_TRUE(menus.keyDown(plain('s')));
    EXPECT_TRUE(menus.keyDown(plain('w')));
    EXPECT_TRUE(menus.keyDown(LEFT));
    EXPECT_EQ(host.values[MenuSetting::MUSIC], 90) << "the music one step down, written at once";
    EXPECT_TRUE(menus.keyDown(plain('d')));
    EXPECT_EQ(host.values[MenuSetting::MUSIC], 100);
    EXPECT_TRUE(menus.keyDown(BACKSPACE));
    EXPECT_EQ(topTitle(menus), "Zarvik");
    EXPECT_FALSE(menus.keyDown(plain('w'))) << "on the start panel a drive key goes on to the car";
    EXPECT_FALSE(menus.getStack().isOpen());
    EXPECT_FALSE(menus.keyDown(plain('s'))) << "no panel: every key reaches the game";

    // A drive key bound elsewhere starts the race as the key it is bound to.
    KeyBindings bound;
    bound.bind(PlayerAction::DriveUp, plain('i'));
    KeyBindings::use(bound);
    MenuController& again = *keep(make());
    again.keyDown(plain('w'));
    EXPECT_TRUE(again.getStack().isOpen()) << "w is no drive key now: the start panel stays";
    EXPECT_FALSE(again.keyDown(plain('i')));
    EXPECT_FALSE(again.getStack().isOpen());

    MenuController& none = *keep(make(false));
    EXPECT_FALSE(none.getStack().isOpen()) << "--no-menu, --autoplay: no start panel";
}

TEST_F(MenuControllerTest, ThePadMovesChoosesAndGoesBackAndThePauseOpensItsPanel) {
    MenuController& menus = *keep(make());
    EXPECT_TRUE(menus.padAction(Gamepad::STICK_DOWN, true));
    EXPECT_FALSE(menus.padAction(Gamepad::STICK_DOWN, false)) << "releases always reach the game";
    EXPECT_TRUE(menus.padAction(Gamepad::ARROW_DOWN, true));
    EXPECT_TRUE(menus.padAction(Gamepad::CONFIRM, true));
    EXPECT_EQ(topTitle(menus), "Settings");
    EXPECT_TRUE(menus.padAction(Gamepad::ACCELERATE, true)) << "the car gets nothing while a panel shows";
    EXPECT_TRUE(menus.padAction(Gamepad::CANCEL, true));
    EXPECT_EQ(topTitle(menus), "Zarvik");
    EXPECT_TRUE(menus.padAction(Gamepad::STICK_UP, true));
    EXPECT_TRUE(menus.padAction(Gamepad::ARROW_UP, true));
    EXPECT_EQ(menus.getStack().top()->focus(), 0);
    EXPECT_FALSE(menus.padAction(Gamepad::CONFIRM, true)) << "A on Race starts and accelerates";
    EXPECT_FALSE(menus.getStack().isOpen());

    // The pause key pauses the level (the game's own key); the panel follows it.
    EXPECT_FALSE(menus.padAction(Gamepad::PAUSE, true));
    level->setPaused(true);
    menus.frame();
    EXPECT_EQ(topTitle(menus), "Paused");
    EXPECT_FALSE(menus.keyDown(plain('p'))) << "p goes on to resume";
    EXPECT_TRUE(menus.padAction(Gamepad::ARROW_DOWN, true));
    EXPECT_TRUE(menus.padAction(Gamepad::CONFIRM, true)) << "Restart";
    EXPECT_FALSE(level->isPaused());
    EXPECT_FALSE(menus.getStack().isOpen());
    menus.frame();
    EXPECT_FALSE(menus.getStack().isOpen()) << "the pause ended by the menu stays ended";

    level->setPaused(true);
    menus.frame();
    EXPECT_TRUE(menus.padAction(Gamepad::CANCEL, true)) << "B resumes";
    EXPECT_FALSE(level->isPaused());
    menus.frame();
    level->setPaused(true);
    menus.frame();
    level->setPaused(false);  // the pause key again
    menus.frame();
    EXPECT_FALSE(menus.getStack().isOpen());
}

TEST_F(MenuControllerTest, TheMouseFocusesAndChoosesTheEntryUnderIt) {
    MenuController& menus = *keep(make());
    menus.getDrawer()->setWindowDimensions(800, 600);
    const Menu& start = *menus.getStack().top();
    const MenuLayout layout(start, 800, 600);
    const MenuLayout::Rect quit = layout.rows.back();
    const int x = (quit.left + quit.right) / 2, y = 599 - (quit.bottom + quit.top) / 2;  // GLUT's y runs down
    EXPECT_TRUE(menus.mouseMoved(x, y));
    EXPECT_EQ(start.focus(), static_cast<int>(start.entries.size()) - 1);
    EXPECT_FALSE(menus.mouseButton(0, true, 5, 5)) << "outside the panel the mouse orbits the camera";
    EXPECT_TRUE(menus.mouseButton(0, true, x, y));
    EXPECT_EQ(host.quits, 1);
}

TEST_F(MenuControllerTest, AKeyBoundElsewhereIsSwappedOnlyOnConfirmationAndFixedKeysAreRefused) {
    MenuController& menus = *keep(make());
    MenuStack& stack = menus.getStack();
    stack.open(menus.getPanels().controls());
    EXPECT_TRUE(menus.keyDown(ENTER)) << "Accelerate waits for its key";
    EXPECT_TRUE(stack.awaitsKey());
    EXPECT_TRUE(menus.keyDown(plain('a'))) << "the key of Steer left";
    EXPECT_EQ(stack.top()->title, "Swap keys?");
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveUp), plain('w')) << "nothing bound before the answer";
    EXPECT_TRUE(menus.keyDown(ENTER));
    EXPECT_EQ(stack.top()->title, "Controls");
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveUp), plain('a'));
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveLeft), plain('w'));
    EXPECT_EQ(host.kept, (std::vector<PlayerAction>{PlayerAction::DriveUp, PlayerAction::DriveLeft,
                                                    PlayerAction::ArrowUp, PlayerAction::ArrowLeft}));

    // A free key binds at once; a fixed key (F1) is refused; Backspace keeps the old key.
    EXPECT_TRUE(menus.keyDown(ENTER));
    EXPECT_TRUE(menus.keyDown(plain('i')));
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveUp), plain('i'));
    EXPECT_TRUE(menus.keyDown(ENTER));
    EXPECT_TRUE(menus.keyDown(F1));
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveUp), plain('i'));
    EXPECT_EQ(stack.top()->lines.back(), "\"F1\" is one of the game's fixed keys.");
    EXPECT_TRUE(menus.keyDown(ENTER));
    EXPECT_TRUE(menus.keyDown(BACKSPACE));
    EXPECT_FALSE(stack.awaitsKey());
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveUp), plain('i'));

    // The new drive key moves the focus in this panel, the old one no longer does.
    EXPECT_TRUE(menus.keyDown(plain('i')));
    EXPECT_EQ(stack.top()->focus(), static_cast<int>(stack.top()->entries.size()) - 1);

    stack.top()->focusOn(static_cast<int>(stack.top()->entries.size()) - 2);
    EXPECT_TRUE(menus.keyDown(ENTER)) << "reset to defaults";
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveUp), plain('w'));
    EXPECT_EQ(KeyBindings::current().keyOf(PlayerAction::DriveLeft), plain('a'));
}
