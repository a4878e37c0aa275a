#pragma once
#include <GL/glew.h>

// A rectangle of the window drawn once, read back and kept as a texture:
// later frames draw the kept picture, one texel a pixel, instead of drawing
// its parts again. With multisampling the picture read back is the resolved
// one, which is what the window shows, so drawing it again shows the same.
//
// Reading back waits for everything drawn so far, so it suits a picture
// that changes rarely: the owner says when, by forget().
class KeptRegion {
public:
    KeptRegion() = default;
    ~KeptRegion();
    KeptRegion(const KeptRegion&) = delete;
    KeptRegion& operator=(const KeptRegion&) = delete;

    // Whether a picture of exactly that rectangle is kept.
    bool holds(int left, int bottom, int width, int height) const;
    // Reads the rectangle (window pixels from the lower left corner) from
    // the read buffer into the texture. False, keeping nothing, where it
    // cannot be read: an empty rectangle, no GL, or a multisampled
    // framebuffer object (whose pixels the GL does not read).
    bool keep(int left, int bottom, int width, int height);
    // The kept picture at its place, opaque. Called while a PixelProjection
    // lives: it draws in its coordinates and leaves its switches as it found
    // them (the bound texture and the texture environment's mode change).
    void draw() const;
    void forget() { kept = false; }

private:
    int left = 0, bottom = 0, width = 0, height = 0;
    bool kept = false;
    GLuint texture = 0;
};
