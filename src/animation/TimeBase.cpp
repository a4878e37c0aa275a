#include "animation/TimeBase.h"

#include "animation/PerformanceCounter.h"

TimeBase::TimeBase()
    : frequency(PerformanceCounter::frequency()), lastCount(PerformanceCounter::count()), currentCount(lastCount) {}

void TimeBase::reset() {
    currentCount = PerformanceCounter::count();
    lastCount = currentCount;
}

void TimeBase::measure() {
    lastCount = currentCount;
    currentCount = PerformanceCounter::count();
    elapsedTime = static_cast<double>(currentCount - lastCount) / static_cast<double>(frequency);
}
