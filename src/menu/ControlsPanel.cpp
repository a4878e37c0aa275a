// The controls panel: every action with its key and pad button. Choosing
// one waits for a key; a key another action has is offered as a swap.
#include <array>

#include "menu/MenuPanels.h"

namespace {
// The pad's button of each action (input/Gamepad.h), in PlayerAction's order.
constexpr std::array<const char*, ACTION_COUNT> PAD_BUTTONS = {
    "A, right trigger", "stick, d-pad left", "B, left trigger", "stick, d-pad right",
    "d-pad up", "d-pad left", "d-pad down", "d-pad right",
    "Back", "Start", "", "", "", "", "", "", "", "", "", "",
};

constexpr std::array<const char*, ACTION_COUNT> LABELS = {
    "Accelerate", "Steer left", "Brake, reverse", "Steer right",
    "Sign arrow up", "Sign arrow left", "Sign arrow down", "Sign arrow right",
    "Restart", "Pause", "Mute", "Screenshot",
    "Music quieter", "Music louder", "Effects quieter", "Effects louder",
    "Full screen", "Minimap", "Ghost", "Next level",
};

std::string shownKey(PlayerAction action) {
    const std::string key = KeyBindings::keyName(KeyBindings::current().keyOf(action));
    const char* pad = PAD_BUTTONS[static_cast<std::size_t>(action)];
    return *pad ? key + "   pad " + pad : key;
}

bool sameDirection(PlayerAction a, PlayerAction b) {
    const int i = static_cast<int>(a), j = static_cast<int>(b);
    const int up = static_cast<int>(PlayerAction::ArrowUp);
    return i < 8 && j < 8 && i % 4 == j % 4 && (i < up) != (j < up);
}

// The other action on key (not one that may share it), if any.
std::optional<PlayerAction> holderOf(Key key, PlayerAction action) {
    for (const auto& info : KeyBindings::actions())
        if (info.action != action && !sameDirection(info.action, action) &&
            KeyBindings::current().keyOf(info.action) == key)
            return info.action;
    return std::nullopt;
}

std::vector<PlayerAction> changedActions(const KeyBindings& from, const KeyBindings& to) {
    std::vector<PlayerAction> changed;
    for (const auto& info : KeyBindings::actions())
        if (from.keyOf(info.action) != to.keyOf(info.action)) changed.push_back(info.action);
    return changed;
}
}  // namespace

MenuStack::Panel MenuPanels::controls() {
    auto panel = std::make_shared<Menu>("Controls");
    for (const auto& info : KeyBindings::actions()) {
        const PlayerAction action = info.action;
        panel->entries.push_back(MenuEntry::binding(
            LABELS[static_cast<std::size_t>(action)], [action] { return shownKey(action); },
            [this, action] { bindingChosen(action); }, "Enter, then press the new key (Backspace: keep the old one)."));
    }
    panel->entries.push_back(MenuEntry::action("Reset to defaults", [this] {
        const KeyBindings defaults;
        host.keepBindings(defaults, changedActions(KeyBindings::current(), defaults));
        refreshControls("Every action is back on its default key.");
    }, "Every action back on the key it had first."));
    panel->entries.push_back(MenuEntry::action("Back", [this] { stack.back(); }));
    return panel;
}

void MenuPanels::bindingChosen(PlayerAction action) {
    stack.awaitKey([this, action](Key key) { keyForBinding(action, key); });
}

void MenuPanels::keyForBinding(PlayerAction action, Key key) {
    const std::string name = KeyBindings::keyName(key);
    if (name.empty()) return refreshControls("That key cannot be bound.");
    const KeyBindings now = KeyBindings::current();
    KeyBindings wanted = now;
    wanted.bind(action, key);
    const std::optional<PlayerAction> holder = holderOf(key, action);
    if (holder) wanted.bind(*holder, now.keyOf(action));
    if (!wanted.settle().empty()) return refreshControls("\"" + name + "\" is one of the game's fixed keys.");
    if (!holder) {
        host.keepBindings(wanted, changedActions(now, wanted));
        return refreshControls(std::string(LABELS[static_cast<std::size_t>(action)]) + " is now on \"" + name + "\".");
    }
    // A key in use: the two actions swap keys once the player agrees.
    auto ask = std::make_shared<Menu>("Swap keys?");
    ask->lines = {"\"" + name + "\" is the key of " + LABELS[static_cast<std::size_t>(*holder)] + ".",
                  std::string(LABELS[static_cast<std::size_t>(*holder)]) + " would get \"" +
                      KeyBindings::keyName(now.keyOf(action)) + "\"."};
    ask->entries = {
        MenuEntry::action("Swap", [this, wanted, now] {
            host.keepBindings(wanted, changedActions(now, wanted));
            stack.back();
            refreshControls("Keys swapped.");
        }),
        MenuEntry::action("Cancel", [this] { stack.back(); }),
    };
    stack.open(ask);
}

// The controls panel built again with a note, keeping its focus.
void MenuPanels::refreshControls(const std::string& note) {
    const Menu* top = stack.top();
    const int focus = top ? top->focus() : 0;
    auto panel = controls();
    panel->lines.push_back(note);
    panel->focusOn(focus);
    stack.replaceTop(panel);
}
