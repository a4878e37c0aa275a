#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One line of a panel the player can focus:
// - an action runs `chosen` when picked;
// - a value is one of `choices` (by index) or, without choices, a whole
//   number from minimum to maximum in steps of `step`; left and right change
//   it, and each change goes to `changed` at once;
// - a binding names an action and its key (`shown`); picking it runs `chosen`,
//   which asks for a key.
struct MenuEntry {
    enum class Kind { ACTION, VALUE, BINDING };
    Kind kind = Kind::ACTION;
    std::string label;
    std::string description;  // one line shown under the panel while focused
    std::function<void()> chosen;
    std::vector<std::string> choices;
    int minimum = 0, maximum = 0, step = 1;
    std::string unit;  // after a number: " %"
    int value = 0;
    std::function<void(int)> changed;
    std::function<std::string()> shown;  // a binding's key as bound now; beside an action, a note

    static MenuEntry action(std::string label, std::function<void()> chosen, std::string description = "");
    static MenuEntry range(std::string label, int minimum, int maximum, int step, int value, std::string unit,
                           std::function<void(int)> changed, std::string description = "");
    static MenuEntry choice(std::string label, std::vector<std::string> choices, int value,
                            std::function<void(int)> changed, std::string description = "");
    static MenuEntry binding(std::string label, std::function<std::string()> shown, std::function<void()> chosen,
                             std::string description = "");

    // The text at the right of the line: a value as it stands, a binding's key.
    std::string valueText() const;
};

// A panel: a title, a few lines of information, the entries and the one
// that has the focus. The focus wraps round at either end. Which panel
// holds a Menu is told by its role, so that the game's own events (a pause
// ended by the pause key, a restart) can close the right ones.
class Menu {
public:
    enum class Role { START, PAUSE, RESULTS, OTHER };
    explicit Menu(std::string title, Role role = Role::OTHER) : title(std::move(title)), role(role) {}

    std::string title;
    Role role;
    std::vector<std::string> lines;  // information above the entries
    std::vector<MenuEntry> entries;
    // What going back from this panel does besides closing it (nothing by default).
    std::function<void()> leaving;
    // A panel that cannot be left by going back (the start and results panels).
    bool stays = false;

    int focus() const { return focused; }
    // Focus on entry index; an index outside the entries changes nothing.
    void focusOn(int index);
    // The focus `by` entries further, round from the last to the first and back.
    void moveFocus(int by);
    // The focused value `direction` steps up or down, kept within its range
    // (a list of choices wraps round); false when nothing changed.
    bool change(int direction);
    // Picks the focused entry: runs an action or a binding, steps a value up.
    void choose();
    const MenuEntry* focusedEntry() const;

private:
    int focused = 0;
};
