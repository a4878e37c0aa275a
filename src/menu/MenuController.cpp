#include "menu/MenuController.h"

#include <cstdio>
#include <optional>

namespace {
constexpr int ENTER = 13, BACKSPACE = 8, DELETE = 127, ESCAPE = 27;
// GLUT's special key codes.
constexpr int LAST_F_KEY = 12, KEY_LEFT = 100, KEY_UP = 101, KEY_RIGHT = 102, KEY_DOWN = 103;
constexpr int LEFT_BUTTON = 0;

// The menu command of a key that drives the car (as its default key), if it is one.
std::optional<MenuCommand> driveCommand(Key key) {
    const std::optional<Key> action = KeyBindings::current().translate(key);
    if (!action || action->special) return std::nullopt;
    switch (action->code) {
        case 'w': return MenuCommand::UP;
        case 'a': return MenuCommand::LEFT;
        case 's': return MenuCommand::DOWN;
        case 'd': return MenuCommand::RIGHT;
        default: return std::nullopt;
    }
}

std::optional<MenuCommand> menuKey(Key key) {
    if (key.special) {
        switch (key.code) {
            case KEY_UP: return MenuCommand::UP;
            case KEY_DOWN: return MenuCommand::DOWN;
            case KEY_LEFT: return MenuCommand::LEFT;
            case KEY_RIGHT: return MenuCommand::RIGHT;
            default: return std::nullopt;
        }
    }
    if (key.code == ENTER) return MenuCommand::CHOOSE;
    if (key.code == BACKSPACE || key.code == DELETE) return MenuCommand::BACK;
    return std::nullopt;
}

bool isKey(Key key, PlayerAction action) {
    const std::optional<Key> translated = KeyBindings::current().translate(key);
    return translated && *translated == KeyBindings::info(action).defaultKey;
}
}  // namespace

MenuController::MenuController(std::shared_ptr<Level> l, MenuHost& host, Options o)
    : level(std::move(l)), panels(*stack, level, host), drawer(std::make_shared<MenuDrawer>(stack)), options(o) {
    if (!options.panels) options.startPanel = options.resultsPanel = false;
    if (options.startPanel) stack->open(panels.start());
}

bool MenuController::startsDriving(Key key) const {
    const Menu* top = stack->top();
    return top && top->role == Menu::Role::START && driveCommand(key);
}

bool MenuController::keyDown(Key key) {
    if (!stack->isOpen()) return false;
    if (!key.special && key.code == ESCAPE) return false;  // quits, as always
    if (stack->awaitsKey()) {
        if (!key.special && (key.code == BACKSPACE || key.code == DELETE)) stack->stopWaiting();
        else stack->keyPressed(key);
        return true;
    }
    if (key.special && key.code >= 1 && key.code <= LAST_F_KEY) return false;  // help, debug views, screenshot
    if (startsDriving(key)) {
        stack->closeAll();
        return false;  // the key drives at once
    }
    std::optional<MenuCommand> command = driveCommand(key);
    if (!command) command = menuKey(key);
    if (command) {
        stack->command(*command);
        return true;
    }
    // The restart key starts the race again at once: the results have had their say.
    if (isKey(key, PlayerAction::Reset)) stack->closeFrom(Menu::Role::RESULTS);
    return false;
}

bool MenuController::padAction(Gamepad::Action action, bool pressed) {
    if (!pressed || !stack->isOpen()) return false;  // a release always reaches the game: nothing sticks
    const Menu* top = stack->top();
    const bool onStart = top->role == Menu::Role::START && !stack->awaitsKey();
    switch (action) {
        case Gamepad::PAUSE: return false;  // the game pauses or resumes; frame() follows
        case Gamepad::RESTART: stack->closeFrom(Menu::Role::RESULTS); return false;
        case Gamepad::STEER_LEFT:
        case Gamepad::STEER_RIGHT:
        case Gamepad::ACCELERATE:
        case Gamepad::BRAKE:
            if (!onStart) break;
            stack->closeAll();
            return false;
        case Gamepad::CONFIRM:
            // On the start panel's Race, A starts and accelerates as it always did.
            if (onStart && top->focus() == 0) {
                stack->closeAll();
                return false;
            }
            stack->command(MenuCommand::CHOOSE);
            return true;
        case Gamepad::CANCEL: stack->command(MenuCommand::BACK); return true;
        case Gamepad::ARROW_UP:
        case Gamepad::STICK_UP: stack->command(MenuCommand::UP); return true;
        case Gamepad::ARROW_DOWN:
        case Gamepad::STICK_DOWN: stack->command(MenuCommand::DOWN); return true;
        default: break;
    }
    // Steering moves through values; the d-pad's arrows come with it.
    if (action == Gamepad::STEER_LEFT) stack->command(MenuCommand::LEFT);
    if (action == Gamepad::STEER_RIGHT) stack->command(MenuCommand::RIGHT);
    return true;
}

int MenuController::entryUnder(int x, int y) const {
    const Menu* top = stack->top();
    if (!top) return -1;
    const int h = drawer->windowHeight();
    const MenuLayout layout(*top, drawer->windowWidth(), h, drawer->getScale());
    return layout.entryAt(x, h - 1 - y);
}

bool MenuController::mouseButton(int button, bool down, int x, int y) {
    const Menu* top = stack->top();
    if (!top) return false;
    const int h = drawer->windowHeight();
    const MenuLayout layout(*top, drawer->windowWidth(), h, drawer->getScale());
    if (!layout.panel.contains(x, h - 1 - y)) return false;
    const int entry = layout.entryAt(x, h - 1 - y);
    if (button == LEFT_BUTTON && down && entry >= 0 && !stack->awaitsKey()) {
        stack->top()->focusOn(entry);
        stack->command(MenuCommand::CHOOSE);
    }
    return true;
}

bool MenuController::mouseMoved(int x, int y) {
    const int entry = entryUnder(x, y);
    if (entry < 0 || stack->awaitsKey()) return false;
    stack->top()->focusOn(entry);
    return true;
}

// The results go to the console too: a game that plays itself shows no panel.
void MenuController::openResults(bool won) {
    std::string text = won ? "" : "caught";
    if (won)
        for (const std::string& line : panels.raceLines()) text += (text.empty() ? "" : "; ") + line;
    std::printf("\n Menu: results: %s\n", text.c_str());
    if (!options.resultsPanel) return;
    stack->closeFrom(Menu::Role::RESULTS);
    stack->open(panels.results(won));
}

void MenuController::frame() {
    if (!options.panels) return;
    if (level->isPaused() != pausedSeen) {
        pausedSeen = level->isPaused();
        if (!pausedSeen) stack->closeFrom(Menu::Role::PAUSE);
        else if (!stack->shows(Menu::Role::PAUSE)) stack->open(panels.pause());
    }
    if (level->wonRaces() != winsSeen) {
        winsSeen = level->wonRaces();
        openResults(true);
    }
    if (level->isCaught() != caughtSeen) {
        caughtSeen = level->isCaught();
        if (caughtSeen) openResults(false);
        else stack->closeFrom(Menu::Role::RESULTS);
    }
}
