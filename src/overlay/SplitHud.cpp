#include "overlay/SplitHud.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
// A line under "Best: ..." (at -46 from the top right corner, 24 pixel font).
constexpr int SPLIT_X = -180, SPLIT_Y = -72;
}  // namespace

SplitHud::SplitHud() {
    text->setAlignment(TextOverlay::RIGHT, TextOverlay::TOP, SPLIT_X, SPLIT_Y);
    text->visible = false;
}

std::string SplitHud::format(double difference) {
    const long long ms = std::llround(difference * 1000.0);
    char out[48];
    std::snprintf(out, sizeof(out), "%c%lld.%03lld", ms < 0 ? '-' : '+', std::llabs(ms) / 1000, std::llabs(ms) % 1000);
    return out;
}

void SplitHud::show(double difference) {
    const bool behind = std::llround(difference * 1000.0) > 0;
    const int* colour = behind ? BEHIND : AHEAD;
    text->setColor(colour[0], colour[1], colour[2]);
    text->setText(format(difference), SHOW_SECONDS);
}

void SplitHud::registerWith(Overlay2DManager& overlays) { overlays.registerOverlay(text, 0); }
