#pragma once
#include <memory>
#include <optional>
#include <string>

#include "overlay/Overlay2DManager.h"
#include "overlay/TextOverlay.h"
#include "overlay/TimedTextOverlay.h"

// The best race time on the HUD: "Best: h:mm:ss.mmm" one line under the
// stopwatch near the top right corner ("Best: -" before any record), and
// "New best time!" above the middle of the screen for a few seconds after a
// record.
class BestTimeHud {
public:
    static constexpr double ANNOUNCEMENT_SECONDS = 4.0;

    BestTimeHud();

    void show(std::optional<double> bestSeconds);
    void announceRecord();
    // A line under it for as long: the medal a won race earned.
    void announceMedal(const std::string& text);
    // Puts both texts on the level's HUD (after its reset).
    void registerWith(Overlay2DManager& overlays);

    std::shared_ptr<TextOverlay> getBestOverlay() const { return best; }
    std::shared_ptr<TimedTextOverlay> getAnnouncement() const { return announcement; }
    std::shared_ptr<TimedTextOverlay> getMedal() const { return medal; }

private:
    std::shared_ptr<TextOverlay> best = std::make_shared<TextOverlay>();
    std::shared_ptr<TimedTextOverlay> announcement = std::make_shared<TimedTextOverlay>();
    std::shared_ptr<TimedTextOverlay> medal = std::make_shared<TimedTextOverlay>();
};
