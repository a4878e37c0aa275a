#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Chooses, frame by frame, how finely the world is drawn: the share of the
// window's width and height its picture has (the fraction) and the samples
// per pixel, so that frames hold a target time. Its steps, finest first: the
// full window with four samples, the full window with one, then the fraction
// lowered by a tenth at a time down to one half.
//
// It decides from the median of the frames drawn since its last change, at
// most once per half second: too slow, it goes down at once to the step its
// cost model says meets the target (a fixed part of the time, the rest
// growing with the pixels and samples drawn); room to spare, it goes up one step, and only when the model says
// that step too stays well under the target. A step it went up to and had to
// leave again soon is not tried again for a while, twice as long each time,
// so that it never flickers between two sizes. Pure logic: the clock is given.
class ResolutionController {
public:
    struct Step {
        double fraction;  // of the window's width and height, 0.5 to 1
        int samples;      // per pixel, 1 or 4
    };
    static constexpr double DEFAULT_TARGET_MS = 16.7;
    static constexpr double MIN_TARGET_MS = 1.0;
    static constexpr double MAX_TARGET_MS = 1000.0;
    static constexpr double MIN_FRACTION = 0.5;
    static constexpr double HOLD_SECONDS = 0.5;

    // clock: seconds, from any origin. maxSamples 4 starts with four samples
    // per pixel, 1 leaves that step out. A target outside MIN_TARGET_MS to
    // MAX_TARGET_MS (or not a number) is taken as DEFAULT_TARGET_MS.
    ResolutionController(std::function<double()> clock, double targetMs, int maxSamples);

    // The drawing stays on the first step for good ("full" resolution).
    void holdFull();
    // Starts from the coarsest step, going up from there as frames allow.
    void startSmallest() { current = steps.size() - 1; }
    // The time a frame drawn at the current step took, in ms.
    void frameDrawn(double ms);

    Step step() const { return steps[current]; }
    double fraction() const { return steps[current].fraction; }
    int samples() const { return steps[current].samples; }
    double targetMs() const { return target; }
    // How many times the step changed.
    int changes() const { return changeCount; }

private:
    // Frames just after a change also pay for it (a new framebuffer): not counted.
    static constexpr int SETTLING_FRAMES = 2;
    static constexpr int MIN_FRAMES = 8;
    static constexpr std::size_t MAX_FRAMES = 30;
    // The cost model: a share of a frame drawn with one sample at full size
    // does not depend on the pixels (the game's own thread: logic, physics,
    // vertex work); the rest grows with the pixels drawn, and with four
    // samples by this factor, so that a frame with four takes 2.2 times one
    // with one sample (38.6 and 17.8 ms at 800 x 600, 136.8 and 60.2 at 1920 x 1080).
    static constexpr double FIXED_SHARE = 0.2;
    static constexpr double FOUR_SAMPLE_PIXEL_COST = 2.5;
    // A step up must promise frames this far under the target.
    static constexpr double RAISE_MARGIN = 0.85;
    // A step left within this time after going up to it was too much.
    static constexpr double FLAP_SECONDS = 3.0;
    static constexpr double FIRST_BLOCK_SECONDS = 2.0;
    static constexpr double MAX_BLOCK_SECONDS = 32.0;

    double cost(std::size_t stepIndex) const;
    double recentMedian() const;
    void decide(double now);
    void changeTo(std::size_t stepIndex, double now);

    std::function<double()> clock;
    double target;
    std::vector<Step> steps;
    std::size_t current = 0;
    bool held = false;
    std::vector<double> recent;  // frame times since the last change
    int settling = 0;
    double changedAt;
    int changeCount = 0;
    // Per step: until when going up to it waits, and how long it waits next.
    std::vector<double> blockedUntil;
    std::vector<double> blockSeconds;
    std::size_t raisedTo = SIZE_MAX;  // the step last gone up to (none yet)
};
