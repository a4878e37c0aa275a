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
