#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "input/KeyBindings.h"
#include "menu/Menu.h"

// What the player asks of an open panel, whatever the input device.
enum class MenuCommand { UP, DOWN, LEFT, RIGHT, CHOOSE, BACK };

// The open panels, the newest on top: only the top one shows and takes
// commands. Going back closes the top panel (a panel that `stays` is not
// left that way). While a binding waits for its key, the next key pressed
// goes to it instead of moving the focus.
class MenuStack {
public:
    using Panel = std::shared_ptr<Menu>;
    void open(Panel panel);
    // The top panel in place of itself (a panel built afresh after a change).
    void replaceTop(Panel panel);
    bool isOpen() const { return !panels.empty(); }
    Menu* top() const { return panels.empty() ? nullptr : panels.back().get(); }
    bool shows(Menu::Role role) const;
    // Closes the newest panel of this role and every panel above it.
    void closeFrom(Menu::Role role);
    void closeAll();
    void back();
    void command(MenuCommand command);

    // The next key pressed goes to `bound` (Backspace gives up waiting).
    void awaitKey(std::function<void(Key)> bound) { waiting = std::move(bound); }
    bool awaitsKey() const { return static_cast<bool>(waiting); }
    void keyPressed(Key key);
    void stopWaiting() { waiting = nullptr; }

private:
    std::vector<Panel> panels;
    std::function<void(Key)> waiting;
};
