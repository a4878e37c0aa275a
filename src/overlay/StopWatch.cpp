#include "overlay/StopWatch.h"

#include "math/Utilities.h"

StopWatch::StopWatch() {
    overlay->setAlignment(TextOverlay::RIGHT, TextOverlay::TOP, -180, -20);
    reset();
}

void StopWatch::reset() {
    hours = minutes = seconds = milliseconds = 0;
    totalTime = 0.0;
    showTime();
}

// Only a stopped watch takes a new time base: restarting it while running
// would drop the time since the last update.
void StopWatch::start() {
    if (running) return;
    running = true;
    timeBase->reset();
}

void StopWatch::stop() { running = false; }

void StopWatch::update() {
    if (!running) return;
    timeBase->measure();
    totalTime += timeBase->getElapsedTime();
    calcHRTime();
    showTime();
}

namespace {
void split(double t, int& hours, int& minutes, int& seconds, int& milliseconds) {
    hours = static_cast<int>(t * 0.0002777777777777778);  // t / 3600
    t -= hours * 3600.0;
    minutes = static_cast<int>(t * 0.016666666666666666);  // t / 60
    t -= minutes * 60.0;
    seconds = static_cast<int>(t);
    milliseconds = static_cast<int>((t - seconds) * 1000.0);
}

std::string formatFields(int hours, int minutes, int seconds, int milliseconds) {
    return Utilities<char>::createString("%i:%02i:%02i.%03i", hours, minutes, seconds, milliseconds);
}
}  // namespace

void StopWatch::calcHRTime() { split(totalTime, hours, minutes, seconds, milliseconds); }

std::string StopWatch::format(double t) {
    int h = 0, m = 0, s = 0, ms = 0;
    split(t, h, m, s, ms);
    return formatFields(h, m, s, ms);
}

void StopWatch::showTime() { overlay->setText("Time: " + formatFields(hours, minutes, seconds, milliseconds)); }
