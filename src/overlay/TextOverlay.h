#pragma once
#include <string>

#include "math/Utilities.h"
#include "overlay/Overlay2D.h"

// A text on the head-up display, in a GLUT bitmap font, aligned to a window
// edge or the centre.
class TextOverlay : public Overlay2D {
public:
    enum alignment { LEFT = 0, CENTER = 1, RIGHT = 2, TOP = 3, BOTTOM = 4 };

    TextOverlay();

    void setColor(float r, float g, float b);
    void setColor(int r, int g, int b);  // byte values, 0 to 255
    virtual void setText(const std::string& text);
    void setAlignment(alignment hori, alignment vert, int offsetX, int offsetY);
    void setFont(void* f) { font = f; }
    // A dark translucent panel behind the text keeps it readable on a bright
    // sky; it spans every line, with a margin of PANEL_MARGIN pixels.
    void setPanel(bool on) { panel = on; }
    static constexpr int PANEL_MARGIN = 6;
    void setWindowDimensions(int width, int height) override;
    void calcPaintPosition();
    void paint() override;

    const std::string& getText() const { return text; }
    int getPaintX() const { return paintX; }
    int getPaintY() const { return paintY; }
    const float* getColour() const { return colour.get(); }

protected:
    // The width in pixels of the widest line, and the number of lines down
    // to the last one that holds something.
    struct Extent {
        int widest = 0;
        int lines = 0;
    };
    Extent measureText() const;
    void paintPanel() const;

    void* font;
    bool panel = false;
    int paintX = 0, paintY = 0;
    int offsetX = 0, offsetY = 0;
    alignment hori = LEFT;
    alignment vert = BOTTOM;
    FloatArray colour;
    std::string text;
};
