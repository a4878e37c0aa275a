#include "menu/MenuStack.h"

#include <algorithm>
#include <cstdio>

void MenuStack::open(Panel panel) {
    if (!panel) return;
    std::printf("\n Menu: %s", panel->title.c_str());
    std::fflush(stdout);
    panels.push_back(std::move(panel));
}

void MenuStack::replaceTop(Panel panel) {
    if (!panel) return;
    if (panels.empty()) panels.push_back(std::move(panel));
    else panels.back() = std::move(panel);
}

bool MenuStack::shows(Menu::Role role) const {
    return std::any_of(panels.begin(), panels.end(), [role](const Panel& p) { return p->role == role; });
}

void MenuStack::closeFrom(Menu::Role role) {
    for (auto it = panels.rbegin(); it != panels.rend(); ++it)
        if ((*it)->role == role) {
            panels.erase(std::prev(it.base()), panels.end());
            waiting = nullptr;
            return;
        }
}

void MenuStack::closeAll() {
    panels.clear();
    waiting = nullptr;
}

void MenuStack::back() {
    if (waiting) {
        waiting = nullptr;
        return;
    }
    if (panels.empty() || panels.back()->stays) return;
    const Panel leaving = panels.back();  // kept alive while its handler runs
    panels.pop_back();
    if (leaving->leaving) leaving->leaving();
}

void MenuStack::command(MenuCommand command) {
    if (panels.empty()) return;
    if (command == MenuCommand::BACK) return back();
    if (waiting) return;  // a binding waits for a key, not for a move
    const Panel panel = panels.back();  // alive while an entry's handler closes it
    switch (command) {
        case MenuCommand::UP: panel->moveFocus(-1); break;
        case MenuCommand::DOWN: panel->moveFocus(1); break;
        case MenuCommand::LEFT: panel->change(-1); break;
        case MenuCommand::RIGHT: panel->change(1); break;
        case MenuCommand::CHOOSE: panel->choose(); break;
        default: break;
    }
}

void MenuStack::keyPressed(Key key) {
    const auto bound = std::move(waiting);
    waiting = nullptr;
    if (bound) bound(key);
}
