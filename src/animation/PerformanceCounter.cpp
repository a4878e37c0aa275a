#include "animation/PerformanceCounter.h"

#include <chrono>
#include <utility>

PerformanceCounter::Source& PerformanceCounter::source() {
    static Source current;
    return current;
}

std::int64_t PerformanceCounter::count() {
    if (const Source& s = source()) return s();
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

void PerformanceCounter::setSource(Source s) { source() = std::move(s); }
