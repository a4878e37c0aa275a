#include "app/FixedStepClock.h"

#include "animation/PerformanceCounter.h"

std::int64_t FixedStepClock::nanoseconds() const {
    return steps * PerformanceCounter::frequency() / STEPS_PER_SECOND;
}

void FixedStepClock::install() {
    PerformanceCounter::setSource([this] { return nanoseconds(); });
}

void FixedStepClock::uninstall() { PerformanceCounter::setSource(nullptr); }
