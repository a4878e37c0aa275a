#pragma once
#include <cstdint>

// Measures the time between two readings of the performance counter.
class TimeBase {
public:
    TimeBase();

    // Makes the next measurement start now (after a long load, or on a stopwatch start).
    void reset();
    // Takes a new reading; the elapsed time becomes the time since the previous one.
    void measure();
    // Seconds between the last two readings; 0 before the first measure().
    double getElapsedTime() const { return elapsedTime; }

private:
    std::int64_t frequency;
    std::int64_t lastCount;
    std::int64_t currentCount;
    double elapsedTime = 0.0;
};
