#include "app/ResolutionController.h"

#include <algorithm>
#include <cmath>

ResolutionController::ResolutionController(std::function<double()> c, double targetMs, int maxSamples)
    : clock(std::move(c)),
      target(std::isfinite(targetMs) && targetMs >= MIN_TARGET_MS && targetMs <= MAX_TARGET_MS ? targetMs
                                                                                               : DEFAULT_TARGET_MS) {
    if (maxSamples > 1) steps.push_back({1.0, 4});
    for (int tenths = 10; tenths >= 5; --tenths) steps.push_back({tenths / 10.0, 1});
    blockedUntil.assign(steps.size(), 0.0);
    blockSeconds.assign(steps.size(), FIRST_BLOCK_SECONDS);
    changedAt = clock();
}

void ResolutionController::holdFull() {
    held = true;
    current = 0;
}

double ResolutionController::cost(std::size_t i) const {
    const Step& s = steps[i];
    const double pixels = s.fraction * s.fraction * (s.samples > 1 ? FOUR_SAMPLE_PIXEL_COST : 1.0);
    return FIXED_SHARE + (1.0 - FIXED_SHARE) * pixels;
}

double ResolutionController::recentMedian() const {
    std::vector<double> sorted = recent;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    return *middle;
}

void ResolutionController::frameDrawn(double ms) {
    if (held || !(ms >= 0.0) || !std::isfinite(ms)) return;
    if (settling > 0) {
        --settling;
        return;
    }
    recent.push_back(ms);
    if (recent.size() > MAX_FRAMES) recent.erase(recent.begin());
    const double now = clock();
    if (recent.size() >= MIN_FRAMES && now - changedAt >= HOLD_SECONDS) decide(now);
}

void ResolutionController::decide(double now) {
    const double median = recentMedian();
    if (median > target && current + 1 < steps.size()) {
        // Down at once to the first step the cost model expects to meet the target.
        std::size_t next = current + 1;
        while (next + 1 < steps.size() && median * cost(next) / cost(current) > target) ++next;
        if (current == raisedTo && now - changedAt < FLAP_SECONDS) {
            blockedUntil[current] = now + blockSeconds[current];
            blockSeconds[current] = std::min(blockSeconds[current] * 2.0, MAX_BLOCK_SECONDS);
        }
        changeTo(next, now);
    } else if (current > 0 && now >= blockedUntil[current - 1] &&
               median * cost(current - 1) / cost(current) < target * RAISE_MARGIN) {
        raisedTo = current - 1;
        changeTo(current - 1, now);
    }
}

void ResolutionController::changeTo(std::size_t stepIndex, double now) {
    current = stepIndex;
    changedAt = now;
    recent.clear();
    settling = SETTLING_FRAMES;
    ++changeCount;
}
