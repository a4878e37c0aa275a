#pragma once
#include <GL/glew.h>

#include "gl/Framebuffer.h"

// Where a frame is drawn:
// - WINDOW: everything straight into the window, as without a canvas;
// - MULTISAMPLED: everything (world and head-up display) into an off-screen
//   picture of the window's size with four samples per pixel, resolved into
//   the (one-sample) window at the end: the four-sample picture without a
//   four-sample window, whose buffers would stay when the samples drop;
// - SCALED: the world alone off the screen, one sample per pixel, at a
//   fraction of the window's width and height; it is scaled up over the
//   window by a plain bilinear copy, and the head-up display is drawn over
//   it into the window at the window's own resolution. No smoothing pass:
//   measured against the four-sample frames, every setting of a fast
//   approximate antialiasing tried moved the picture farther from them than
//   the plain copy, and it cost time (docs/performance.md).
//
// Off the screen the window needs neither depth nor samples of its own:
// the world's depth is the picture's.
//
//   switch (canvas.beginFrame()) {
//   case SCALED: drawWorld(); canvas.endWorld(); drawPinned(); break;
//   default: drawWorldAndPinned();
//   }
//   drawHud();
//   canvas.endFrame();
class WorldCanvas {
public:
    enum Target { WINDOW, MULTISAMPLED, SCALED };
    static constexpr int FOUR_SAMPLES = 4;

    // Off the screen needs framebuffer objects. Asked the first time, with a
    // GL context: where they are missing everything is drawn into the window,
    // and one console line says so.
    bool available();
    // The window's size in pixels (a size of 0 draws into the window).
    void setWindowSize(int width, int height);
    // What the next frames draw into; the fraction is clamped to 0.5..1.
    void drawDirect();
    void drawMultisampled();
    void drawAt(double fraction);
    Target chosen() const { return target; }
    double fraction() const { return target == SCALED ? scale : 1.0; }

    // Before the frame's drawing: binds, clears and sets the viewport of the
    // off-screen picture it goes into, if any; WINDOW changes nothing (also
    // when the picture cannot be made).
    Target beginFrame();
    // SCALED, after the world: its picture scaled up into the window, whose
    // framebuffer and viewport are bound again.
    void endWorld();
    // After the frame's drawing: a multisampled picture resolved into the window.
    void endFrame();
    // The size of the off-screen world drawn at the last beginFrame.
    int pictureWidth() const { return scaled.width(); }
    int pictureHeight() const { return scaled.height(); }

private:
    enum class Support { UNKNOWN, YES, NO };

    bool bind(Framebuffer& picture, int width, int height);

    Support support = Support::UNKNOWN;
    Framebuffer scaled{1};
    Framebuffer multisampled{FOUR_SAMPLES};
    int windowWidth = 0, windowHeight = 0;
    Target target = WINDOW;
    Target current = WINDOW;  // of the frame being drawn
    double scale = 1.0;
    GLint windowViewport[4] = {0, 0, 0, 0};
    GLint windowFramebuffer = 0;
};
