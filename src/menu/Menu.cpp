#include "menu/Menu.h"

#include <algorithm>

MenuEntry MenuEntry::action(std::string label, std::function<void()> chosen, std::string description) {
    MenuEntry e;
    e.label = std::move(label);
    e.chosen = std::move(chosen);
    e.description = std::move(description);
    return e;
}

MenuEntry MenuEntry::range(std::string label, int minimum, int maximum, int step, int value, std::string unit,
                           std::function<void(int)> changed, std::string description) {
    MenuEntry e;
    e.kind = Kind::VALUE;
    e.label = std::move(label);
    e.minimum = minimum;
    e.maximum = std::max(minimum, maximum);
    e.step = std::max(step, 1);
    e.value = std::clamp(value, e.minimum, e.maximum);
    e.unit = std::move(unit);
    e.changed = std::move(changed);
    e.description = std::move(description);
    return e;
}

MenuEntry MenuEntry::choice(std::string label, std::vector<std::string> choices, int value,
                            std::function<void(int)> changed, std::string description) {
    MenuEntry e;
    e.kind = Kind::VALUE;
    e.label = std::move(label);
    e.choices = std::move(choices);
    e.maximum = std::max(0, static_cast<int>(e.choices.size()) - 1);
    e.value = std::clamp(value, 0, e.maximum);
    e.changed = std::move(changed);
    e.description = std::move(description);
    return e;
}

MenuEntry MenuEntry::binding(std::string label, std::function<std::string()> shown, std::function<void()> chosen,
                             std::string description) {
    MenuEntry e;
    e.kind = Kind::BINDING;
    e.label = std::move(label);
    e.shown = std::move(shown);
    e.chosen = std::move(chosen);
    e.description = std::move(description);
    return e;
}

std::string MenuEntry::valueText() const {
    if (kind != Kind::VALUE) return shown ? shown() : "";
    if (!choices.empty()) return choices[static_cast<std::size_t>(value)];
    return std::to_string(value) + unit;
}

void Menu::focusOn(int index) {
    if (index >= 0 && index < static_cast<int>(entries.size())) focused = index;
}

void Menu::moveFocus(int by) {
    const int count = static_cast<int>(entries.size());
    if (count == 0) return;
    focused = ((focused + by) % count + count) % count;
}

const MenuEntry* Menu::focusedEntry() const {
    if (focused < 0 || focused >= static_cast<int>(entries.size())) return nullptr;
    return &entries[static_cast<std::size_t>(focused)];
}

bool Menu::change(int direction) {
    if (focused >= static_cast<int>(entries.size())) return false;
    MenuEntry& e = entries[static_cast<std::size_t>(focused)];
    if (e.kind != MenuEntry::Kind::VALUE || direction == 0) return false;
    int next;
    if (!e.choices.empty()) {
        const int count = e.maximum + 1;
        next = ((e.value + (direction > 0 ? 1 : -1)) % count + count) % count;
    } else {
        next = std::clamp(e.value + (direction > 0 ? e.step : -e.step), e.minimum, e.maximum);
    }
    if (next == e.value) return false;
    e.value = next;
    // A copy: the handler may rebuild this panel's entries.
    const auto handler = e.changed;
    if (handler) handler(next);
    return true;
}

void Menu::choose() {
    const MenuEntry* e = focusedEntry();
    if (!e) return;
    if (e->kind == MenuEntry::Kind::VALUE) {
        // A click or a confirm steps a value on, round from its top to its bottom.
        if (!change(1) && e->choices.empty()) {
            MenuEntry& entry = entries[static_cast<std::size_t>(focused)];
            entry.value = entry.minimum;
            const auto handler = entry.changed;
            if (handler) handler(entry.value);
        }
        return;
    }
    const auto handler = e->chosen;  // a copy: the handler may close or rebuild this panel
    if (handler) handler();
}
