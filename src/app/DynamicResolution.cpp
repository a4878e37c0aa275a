#include "app/DynamicResolution.h"

#include <cstdio>

namespace {
int ladderSamples(DynamicResolution::Mode mode, bool multisampling, int width, int height) {
    if (!multisampling) return 1;
    if (mode == DynamicResolution::Mode::FULL) return 4;
    return static_cast<long>(width) * height <= DynamicResolution::FOUR_SAMPLE_PIXELS ? 4 : 1;
}
}  // namespace

DynamicResolution::DynamicResolution(Mode m, double targetMs, bool wantsSamples, int width, int height,
                                     std::function<double()> clock)
    : mode(m),
      multisampling(wantsSamples),
      controller(std::move(clock), targetMs, ladderSamples(m, wantsSamples, width, height)) {
    if (mode == Mode::FULL) controller.holdFull();
    // A window this large is seldom drawn at full size in time by a software
    // rasteriser, and its first frames at full size would set the peak
    // memory (a full-size world picture with its depth, 16.6 MB at 1920 x
    // 1080): it starts at the smallest size and goes up when frames allow.
    else if (static_cast<long>(width) * height > FOUR_SAMPLE_PIXELS) controller.startSmallest();
    setWindowSize(width, height);
    apply();
}

void DynamicResolution::frameDrawn(double ms) {
    if (!checked) {
        checked = true;
        // Without framebuffer objects or shaders everything stays in the window.
        fallback = mode == Mode::AUTO && !worldCanvas->available();
        if (fallback) controller.holdFull();
    }
    controller.frameDrawn(ms);
    apply();
}

void DynamicResolution::apply() {
    const ResolutionController::Step step = controller.step();
    const bool fullSize = step.fraction >= 1.0;
    if (mode == Mode::FULL || (fullSize && step.samples == 1 && !multisampling)) worldCanvas->drawDirect();
    else if (fullSize && step.samples > 1) worldCanvas->drawMultisampled();
    else worldCanvas->drawAt(step.fraction);
}

// What the frames are drawn with: one sample when the canvas fell back to the window.
int DynamicResolution::samples() const {
    const bool inWindow = fallback || worldCanvas->chosen() == WorldCanvas::WINDOW;
    return inWindow ? windowSamples(mode, multisampling) : controller.samples();
}

std::string DynamicResolution::describe() const {
    char text[48];
    std::snprintf(text, sizeof text, "world %.2f x %d sample%s", fraction(), samples(), samples() == 1 ? "" : "s");
    return text;
}
