#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/ResolutionController.h"
#include "gl/WorldCanvas.h"

// Dynamic resolution: after every frame the controller's choice of fraction
// and samples for the next one goes to the world canvas (gl/WorldCanvas.h).
//
// With "full" the window has the samples the player chose and everything is
// drawn into it, as without dynamic resolution. With "auto" the window has
// one sample per pixel and no depth buffer: four samples draw the whole
// frame off the screen and resolve it into the window; one sample draws the
// world off the screen at full size or smaller and scales it up, under the
// HUD drawn at the window's resolution. A player who chose one sample gets
// the full-size step straight into the window (which then has a depth
// buffer), as before.
class DynamicResolution {
public:
    enum class Mode { AUTO, FULL };
    // Four samples cost 32 bytes a pixel: in auto mode a window larger than
    // this many pixels (1280 x 720 is 921,600) never draws with four, and its
    // world starts at the smallest fraction.
    static constexpr long FOUR_SAMPLE_PIXELS = 1024L * 1024L;

    // multisampling: the player's choice of four samples per pixel.
    DynamicResolution(Mode mode, double targetMs, bool multisampling, int windowWidth, int windowHeight,
                      std::function<double()> clock);

    // The samples the window opens with.
    static int windowSamples(Mode mode, bool multisampling) { return mode == Mode::FULL && multisampling ? 4 : 1; }
    // Whether the window opens with a depth buffer: not in auto mode with
    // samples asked for, where every step draws the world off the screen
    // with a depth buffer of its own (8 MB saved at 1920 x 1080). Should the
    // canvas turn out unavailable, the window must open again with one.
    static bool windowDepth(Mode mode, bool multisampling) { return mode == Mode::FULL || !multisampling; }

    std::shared_ptr<WorldCanvas> canvas() const { return worldCanvas; }
    void setWindowSize(int width, int height) { worldCanvas->setWindowSize(width, height); }
    // After a frame, the wall time it took in ms: the next frame's step.
    void frameDrawn(double ms);

    double fraction() const { return controller.fraction(); }
    int samples() const;
    // "world 0.80 x 1 sample" for the frame counter.
    std::string describe() const;

private:
    void apply();

    Mode mode;
    bool multisampling;
    ResolutionController controller;
    std::shared_ptr<WorldCanvas> worldCanvas = std::make_shared<WorldCanvas>();
    bool checked = false;   // whether the canvas can draw off the screen
    bool fallback = false;  // it cannot: everything goes into the window
};
