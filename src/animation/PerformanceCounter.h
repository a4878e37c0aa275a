#pragma once
#include <cstdint>
#include <functional>

// The high-resolution tick source behind every time measurement in the game
// (time bases, stopwatch, frame counter, timed texts, event throttling).
// It reads std::chrono::steady_clock in nanoseconds. Tests install their own
// source with setSource() so that time-driven logic runs without sleeping.
class PerformanceCounter {
public:
    using Source = std::function<std::int64_t()>;

    // Ticks per second of count().
    static std::int64_t frequency() { return 1000000000LL; }
    // The current tick count (nanoseconds, monotonic).
    static std::int64_t count();

    // Replaces the tick source (nanoseconds); an empty function restores the clock.
    static void setSource(Source source);

private:
    static Source& source();
};
