#pragma once
#include <string>

// Draws text with GLUT bitmap fonts. The text is drawn exactly as it stands:
// callers format numbers into it beforehand, so a percent sign is just a
// character.
class TextPainter {
public:
    // Line advance in pixels for a line break in window-coordinate text.
    static int textheight;

    // At window pixel (x, y) (origin lower-left); '\n' starts a new line
    // textheight pixels lower at the same x.
    static void drawstr(int x, int y, void* font, const std::string& text);
    // At the 3D raster position (x, y, z); line breaks get no special treatment.
    static void drawstr(float x, float y, float z, void* font, const std::string& text);
};
