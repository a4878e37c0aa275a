#pragma once
#include <chrono>

// Wall time spent in each phase of one frame, in milliseconds. The level
// fills in its phases while it draws; the application adds the buffer swap
// and the whole frame. Read from the wall clock itself, not from the game's
// performance counter, which may run on a fixed step.
struct FrameTimes {
    enum Phase { ANIMATION, EVENTS, SCENE, HUD, SWAP, PHASES };
    static const char* name(int phase);

    double phase[PHASES] = {};  // ms
    double total = 0.0;         // ms, the whole frame

    // Starts the next lap.
    void begin() { lapStart = std::chrono::steady_clock::now(); }
    // Ends the running lap as the given phase's time and starts the next one.
    void lap(Phase p);

    // Set by the benchmark: every lap waits for the GL work queued in it, so
    // that drawing is booked to the phase that asked for it.
    static bool waitForGl;

private:
    std::chrono::steady_clock::time_point lapStart = std::chrono::steady_clock::now();
};
