#include "input/PadKeys.h"

#include "input/KeyboardProcessor.h"

namespace {
// Indexed by Gamepad::Action; 0: no key (the stick's up and down act in menus only).
constexpr byte KEYS[Gamepad::ACTION_COUNT] = {'a', 'd', 'w', 's', 'w', 'a', 's', 'd', 'p', 'r', 'w', 's', 0, 0};
}  // namespace

byte PadKeys::keyOf(Gamepad::Action action) { return KEYS[action]; }

void PadKeys::act(Gamepad::Action action, bool pressed) {
    const byte key = keyOf(action);
    if (key == 0) return;
    int& count = holders[key];
    if (pressed && count++ == 0) KeyboardProcessor::processDown(key, 0, 0);
    if (!pressed && count > 0 && --count == 0) KeyboardProcessor::processUp(key, 0, 0);
}
