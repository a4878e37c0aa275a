#pragma once
#include <memory>
#include <string>

#include "overlay/Overlay2DManager.h"
#include "overlay/TimedTextOverlay.h"

// The time against the ghost at a sign or at the finish, for a few seconds
// under the best time: "-1.234" in green when ahead (or level), "+0.567" in
// red when behind, in whole milliseconds.
class SplitHud {
public:
    static constexpr double SHOW_SECONDS = 3.0;
    static constexpr int AHEAD[3] = {60, 220, 60};
    static constexpr int BEHIND[3] = {235, 50, 40};

    SplitHud();

    // difference: this race's time minus the ghost's, seconds.
    void show(double difference);
    void hide() { text->visible = false; }
    // Puts the text on the level's HUD.
    void registerWith(Overlay2DManager& overlays);

    // "+0.567", "-1.234", "+0.000": rounded to the millisecond.
    static std::string format(double difference);

    std::shared_ptr<TimedTextOverlay> getText() const { return text; }

private:
    std::shared_ptr<TimedTextOverlay> text = std::make_shared<TimedTextOverlay>();
};
