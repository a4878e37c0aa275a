#pragma once
#include <memory>
#include <string>

#include "animation/TimeBase.h"
#include "overlay/TextOverlay.h"

// A text that hides itself after it has been painted for a given time.
class TimedTextOverlay : public TextOverlay {
public:
    static constexpr int TIME_PERMANENT = -1;

    TimedTextOverlay();

    using TextOverlay::setText;
    // Shows the text for duration seconds of painting (0 or less: no limit).
    virtual void setText(const std::string& text, double duration);
    void paint() override;

private:
    std::shared_ptr<TimeBase> timer = std::make_shared<TimeBase>();
    double duration = -1.0;
    double elapsed = 0.0;
};
