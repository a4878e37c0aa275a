#include "game/FrameTimes.h"

#include <GL/glew.h>

bool FrameTimes::waitForGl = false;

const char* FrameTimes::name(int p) {
    static const char* const names[PHASES] = {"animation_physics", "events", "scene", "hud", "swap"};
    return p >= 0 && p < PHASES ? names[p] : "?";
}

void FrameTimes::lap(Phase p) {
    if (waitForGl) glFinish();
    const auto now = std::chrono::steady_clock::now();
    phase[p] = std::chrono::duration<double, std::milli>(now - lapStart).count();
    lapStart = now;
}
