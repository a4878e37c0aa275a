#include "overlay/BestTimeHud.h"

#include "overlay/StopWatch.h"

namespace {
// The stopwatch's text sits at (-180, -20) from the top right corner; a
// line of its 24 pixel font lower comes the best time.
constexpr int BEST_X = -180, BEST_Y = -46;
// "New best time!" is about 140 pixels wide in the 24 pixel font.
constexpr int ANNOUNCEMENT_X = -70, ANNOUNCEMENT_Y = 60;
// The medal's line 30 pixels lower, centred by its length: some 11 pixels a character.
constexpr int MEDAL_Y = ANNOUNCEMENT_Y - 30;
constexpr double MEDAL_CHARACTER_WIDTH = 11.0;
}  // namespace

BestTimeHud::BestTimeHud() {
    best->setAlignment(TextOverlay::RIGHT, TextOverlay::TOP, BEST_X, BEST_Y);
    announcement->setAlignment(TextOverlay::CENTER, TextOverlay::CENTER, ANNOUNCEMENT_X, ANNOUNCEMENT_Y);
    announcement->setColor(255, 220, 60);
    announcement->visible = false;
    medal->setColor(255, 220, 60);
    medal->visible = false;
    show(std::nullopt);
}

void BestTimeHud::show(std::optional<double> bestSeconds) {
    best->setText("Best: " + (bestSeconds ? StopWatch::format(*bestSeconds) : std::string("-")));
}

void BestTimeHud::announceRecord() { announcement->setText("New best time!", ANNOUNCEMENT_SECONDS); }

void BestTimeHud::announceMedal(const std::string& text) {
    const int x = -static_cast<int>(static_cast<double>(text.size()) * MEDAL_CHARACTER_WIDTH / 2.0);
    medal->setAlignment(TextOverlay::CENTER, TextOverlay::CENTER, x, MEDAL_Y);
    medal->setText(text, ANNOUNCEMENT_SECONDS);
}

void BestTimeHud::registerWith(Overlay2DManager& overlays) {
    overlays.registerOverlay(best, 0);
    overlays.registerOverlay(announcement, 0);
    overlays.registerOverlay(medal, 0);
}
