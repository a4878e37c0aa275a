#pragma once
#include <memory>
#include <string>

#include "animation/TimeBase.h"
#include "overlay/TextOverlay.h"

// The race timer: sums the real time between update() calls while it runs
// and shows the total near the top right corner of the HUD as
// "Time: h:mm:ss.mmm" (hours neither padded nor limited, milliseconds cut,
// never rounded up). The level calls update() once per frame, after the
// frame's animations and events; it is not an Animation.
class StopWatch {
public:
    StopWatch();

    // Zero total and text; a running watch runs on from zero.
    void reset();
    // A stopped watch runs from now: the time before start() never counts.
    // A running watch runs on, losing nothing.
    void start();
    // Keeps the total and its text: the shown time is the result.
    void stop();
    // While running: adds the time since the last update (or start) and shows the total.
    void update();
    // Splits totalTime into hours, minutes, seconds and milliseconds.
    void calcHRTime();
    // After a pause: the time since the last update never counts.
    void skipElapsed() { timeBase->reset(); }

    // Seconds as "h:mm:ss.mmm", the way the watch shows them (cut, never rounded up).
    static std::string format(double seconds);

    std::shared_ptr<TextOverlay> getOverlay() const { return overlay; }
    bool isRunning() const { return running; }
    double getTotalTime() const { return totalTime; }

private:
    void showTime();

    std::shared_ptr<TimeBase> timeBase = std::make_shared<TimeBase>();
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int milliseconds = 0;
    double totalTime = 0.0;
    bool running = false;
    std::shared_ptr<TextOverlay> overlay = std::make_shared<TextOverlay>();
};
