#include "overlay/TimedTextOverlay.h"

TimedTextOverlay::TimedTextOverlay() = default;

void TimedTextOverlay::setText(const std::string& t, double d) {
    duration = d;
    elapsed = 0.0;
    text = t;
    timer->reset();
    visible = true;
}

void TimedTextOverlay::paint() {
    if (!visible) return;
    TextOverlay::paint();
    if (duration > 0) {
        // Only painted time counts: an overlay that is not painted does not age.
        timer->measure();
        elapsed += timer->getElapsedTime();
        if (elapsed > duration) visible = false;
    }
}
