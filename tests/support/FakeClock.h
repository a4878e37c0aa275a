#pragma once
#include <cstdint>

// Replaces the game's tick source for the lifetime of the object, so that
// tests advance time explicitly: FakeClock clock; clock.advance(0.5);
class FakeClock {
public:
    FakeClock();
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance(double seconds);
    std::int64_t now() const { return ticks; }

private:
    std::int64_t ticks = 1000000000LL;  // start at 1 s so that 0 is never a valid reading
};
