#pragma once

// Window pixels as drawing coordinates (origin lower left) for as long as the
// object lives, whatever the scene left switched on: no light, fog, depth
// test, face culling, alpha test or texture, polygons filled also in
// wireframe mode, blending on for translucent colours. The previous matrices
// and switches come back when it goes.
class PixelProjection {
public:
    PixelProjection();
    ~PixelProjection();
    PixelProjection(const PixelProjection&) = delete;
    PixelProjection& operator=(const PixelProjection&) = delete;

    // The viewport's size in pixels.
    int width() const { return viewportWidth; }
    int height() const { return viewportHeight; }

private:
    int viewportWidth = 0;
    int viewportHeight = 0;
};

// The window pixels [x0, x1) x [y0, y1) covered with the bound texture's
// part [s0, s1] x [t0, t1] (t0 at the bottom), in a PixelProjection's
// coordinates, with whatever texturing and blending are switched on.
void drawTexturedRect(float x0, float y0, float x1, float y1, float s0 = 0.0f, float t0 = 0.0f, float s1 = 1.0f,
                      float t1 = 1.0f);
