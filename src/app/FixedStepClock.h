#pragma once
#include <cstdint>

// The game clock of --fixed-step: installed as the performance counter's
// source, it stands still until advance() moves it by exactly one step, which
// the application does once before each frame. Game time then depends on the
// number of frames drawn, never on how long they took.
class FixedStepClock {
public:
    static constexpr int STEPS_PER_SECOND = 60;

    // Makes this clock the performance counter's source.
    void install();
    // Restores the wall clock.
    static void uninstall();
    // One step on.
    void advance() { ++steps; }
    std::int64_t getSteps() const { return steps; }
    // The current reading in nanoseconds (whole steps, no drift).
    std::int64_t nanoseconds() const;

private:
    // Starts one second in, so that no reading is ever zero.
    std::int64_t steps = STEPS_PER_SECOND;
};
