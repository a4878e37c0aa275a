#pragma once
#include <GL/glew.h>

#include <memory>
#include <vector>

#include "gl/GlyphAtlas.h"
#include "menu/MenuLayout.h"
#include "menu/MenuStack.h"
#include "overlay/Overlay2D.h"

// Paints the top panel of a MenuStack on the HUD, over the running level:
// a dark, opaque panel with light text (well over 4.5:1 against the
// panel whatever lies behind it), the focused entry on a blue bar inside a
// yellow frame with a marker at its left, so it stands out also to a player
// who cannot tell the colours apart. Nothing is drawn while no panel is open.
class MenuDrawer : public Overlay2D {
public:
    // The panel, opaque: drawn without blending, which costs a software
    // rasteriser about as much again per pixel (a translucent panel took some
    // twice as long to paint); the level goes on round it.
    static constexpr float PANEL[4] = {0.06f, 0.07f, 0.10f, 1.0f};
    static constexpr float FOCUS[3] = {0.18f, 0.32f, 0.55f};
    static constexpr float FRAME[3] = {1.0f, 0.85f, 0.3f};

    explicit MenuDrawer(std::shared_ptr<const MenuStack> stack);
    void paint() override;
    // The window's size as the HUD last gave it.
    int windowWidth() const { return width; }
    int windowHeight() const { return height; }
    // The text size: 1, 1.5 or 2.
    void setScale(double s) { scale = s; }
    double getScale() const { return scale; }

private:
    void paintShapes(const Menu& menu, const MenuLayout& layout);
    void addTexts(const Menu& menu, const MenuLayout& layout);

    std::shared_ptr<const MenuStack> stack;
    GlyphAtlas texts;
    std::vector<GLfloat> vertices;  // kept between frames: drawing allocates nothing
    double scale = 1.0;
};
