#pragma once
#include <memory>

#include "game/Level.h"
#include "input/Gamepad.h"
#include "input/KeyBindings.h"
#include "menu/MenuDrawer.h"
#include "menu/MenuHost.h"
#include "menu/MenuPanels.h"
#include "menu/MenuStack.h"

// The menus of a running level: takes the keys, pad actions and mouse
// events the open panel needs before they reach the game, and follows the
// level (a pause opens the pause panel, a win or a catch the results).
//
// While a panel shows, the car gets no key: the arrow keys, Enter and
// Backspace, and in every panel but the start panel the bound drive keys,
// move the focus, choose and go back. On the start panel a drive key closes
// it and drives at once. Escape, the F keys and the game's other keys (pause,
// restart, mute, volume, next level...) go on to the game as they always did.
class MenuController {
public:
    struct Options {
        bool startPanel = true;    // the start panel at once
        bool resultsPanel = true;  // the results panel after a win or a catch (else only their console line)
        bool panels = true;        // any panel at all (none in a benchmark)
    };
    MenuController(std::shared_ptr<Level> level, MenuHost& host, Options options);
    // The panels' entries hold on to this object's parts: it stays where it is made.
    MenuController(const MenuController&) = delete;
    MenuController& operator=(const MenuController&) = delete;

    // A key pressed, as GLUT reports it, before the bindings translate it;
    // true when the menus took it.
    bool keyDown(Key key);
    // A pad's action pressed or let go; true when the menus took it.
    bool padAction(Gamepad::Action action, bool pressed);
    // Mouse buttons and moves in GLUT's window coordinates (y down); true
    // when they were over an open panel.
    bool mouseButton(int button, bool down, int x, int y);
    bool mouseMoved(int x, int y);
    // Once a frame, after the level's: the pause, win and catch panels
    // follow the level.
    void frame();

    std::shared_ptr<MenuDrawer> getDrawer() const { return drawer; }
    MenuStack& getStack() { return *stack; }
    MenuPanels& getPanels() { return panels; }

private:
    bool startsDriving(Key key) const;
    int entryUnder(int x, int y) const;
    void openResults(bool won);

    std::shared_ptr<Level> level;
    std::shared_ptr<MenuStack> stack = std::make_shared<MenuStack>();
    MenuPanels panels;
    std::shared_ptr<MenuDrawer> drawer;
    Options options;
    bool pausedSeen = false;
    bool caughtSeen = false;
    int winsSeen = 0;
};
