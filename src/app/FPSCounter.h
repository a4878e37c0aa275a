#pragma once
#include <memory>
#include <string>

#include "animation/TimeBase.h"
#include "overlay/TextOverlay.h"

// Measures the frame rate over an interval and shows it as "FPS: %.2f".
class FPSCounter {
public:
    FPSCounter();

    // Per frame, at the start of the frame.
    void calc();
    void startFPSCalculation(float measureInterval);
    void stopFPSCalculation();
    bool isCalculatingFPS() const { return calculating; }
    double getCurrentFPS() const { return currentFPS; }
    std::shared_ptr<TextOverlay> getOverlay() const { return overlay; }
    // Shown after the frame rate ("world 0.80 x 1 sample"), from the next measurement on.
    void setDetail(std::string text) { detail = std::move(text); }
    void print() const;

private:
    void showValue();

    int frameCount = 0;
    double accumulatedTime = 0.0;
    double currentFPS = 0.0;
    double measureInterval = 0.0;
    bool calculating = false;
    std::string detail;
    std::shared_ptr<TimeBase> timeBase = std::make_shared<TimeBase>();
    std::shared_ptr<TextOverlay> overlay = std::make_shared<TextOverlay>();
};
