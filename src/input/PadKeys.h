#pragma once
#include <array>

#include "input/Gamepad.h"
#include "input/KeyConsumer.h"

// The keys a pad's actions stand for, pressed and let go through the
// KeyboardProcessor exactly as GLUT's key callbacks do, so that every key
// consumer answers a pad as it answers the keyboard:
//   STEER_LEFT a, STEER_RIGHT d, ACCELERATE w, BRAKE s,
//   ARROW_UP w, ARROW_LEFT a, ARROW_DOWN s, ARROW_RIGHT d, PAUSE p, RESTART r, CONFIRM w,
//   CANCEL s; STICK_UP and STICK_DOWN press no key.
// Actions that share a key hold it together: it is pressed when the first
// takes it and let go when the last lets go (d-pad left steers and types the
// left arrow, and must type it once).
class PadKeys {
public:
    static byte keyOf(Gamepad::Action action);

    // One action pressed or let go: the Gamepad's action handler.
    void act(Gamepad::Action action, bool pressed);

private:
    std::array<int, 256> holders{};
};
