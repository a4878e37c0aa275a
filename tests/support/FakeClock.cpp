#include "support/FakeClock.h"

#include <cmath>

#include "animation/PerformanceCounter.h"

FakeClock::FakeClock() {
    PerformanceCounter::setSource([this] { return ticks; });
}

FakeClock::~FakeClock() { PerformanceCounter::setSource(nullptr); }

void FakeClock::advance(double seconds) {
    ticks += static_cast<std::int64_t>(std::llround(seconds * PerformanceCounter::frequency()));
}
