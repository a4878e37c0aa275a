#include "input/PadKeys.h"

#include "input/KeyboardProcessor.h"

namespace {
// Indexed by Gamepad::Action.
constexpr byte KEYS[Gamepad::ACTION_COUNT] = {'a', 'd', 'w', 's', 'w', 'a', 's', 'd', 'p', 'r'};
}  // namespace

byte PadKeys::keyOf(Gamepad::Action action) { return KEYS[action]; }

void PadKeys::act(Gamepad::Action action, bool pressed) {
    const byte key = keyOf(action);
    int& count = holders[key];
    if (pressed && count++ == 0) KeyboardProcessor::processDown(key, 0, 0);
    if (!pressed && count > 0 && --count == 0) KeyboardProcessor::processUp(key, 0, 0);
}
