#pragma once
#include <GL/glew.h>

#include <array>
#include <vector>

// Coloured triangles gathered on the processor and drawn in one call: x, y,
// r, g, b, a per corner, in the current projection, without texturing.
//
// Every draw call costs the GL its state checks whatever its size (some 30
// to 60 microseconds each in the HUD pass with llvmpipe), so a HUD panel
// gathers its flat shapes here and draws them at once. Triangles whose
// colours are all opaque are drawn with blending off: the same pixels,
// without reading the window's first (a blend costs llvmpipe about as much
// again per pixel).
class ColouredTriangles {
public:
    // The corners go into storage, emptied first: a node keeps it between
    // frames so that drawing allocates nothing.
    explicit ColouredTriangles(std::vector<GLfloat>& storage) : data(storage) { data.clear(); }

    void colour(float r, float g, float b, float alpha = 1.0f) {
        current = {r, g, b, alpha};
        translucent = translucent || alpha < 1.0f;
    }
    void triangle(float x0, float y0, float x1, float y1, float x2, float y2) {
        corner(x0, y0);
        corner(x1, y1);
        corner(x2, y2);
    }
    void quad(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
        triangle(x0, y0, x1, y1, x2, y2);
        triangle(x0, y0, x2, y2, x3, y3);
    }
    void rect(float x0, float y0, float x1, float y1) { quad(x0, y0, x1, y0, x1, y1, x0, y1); }

    // One glDrawArrays from client memory, blending as it is switched or, if
    // every colour given was opaque, off. The vertex and colour arrays are
    // switched off afterwards and the current colour is undefined, as after
    // any draw with a colour array.
    void draw() const;

private:
    void corner(float x, float y) { data.insert(data.end(), {x, y, current[0], current[1], current[2], current[3]}); }

    std::vector<GLfloat>& data;
    std::array<float, 4> current = {1.0f, 1.0f, 1.0f, 1.0f};
    bool translucent = false;  // some colour given has alpha under 1
};
