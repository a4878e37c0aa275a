#include "overlay/TextOverlay.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>

#include "gl/PixelProjection.h"
#include "gl/TextPainter.h"

namespace {
// Sixty per cent black: the sky behind turns dark enough for light text, and
// the scene still shows through.
constexpr float PANEL_OPACITY = 0.6f;

// Darkens a rectangle given in window pixels (origin lower left), whatever
// the scene left switched on: no texture, light, fog or depth, and filled
// also in wireframe mode.
void darken(int left, int bottom, int right, int top) {
    const PixelProjection pixels;
    glColor4f(0.0f, 0.0f, 0.0f, PANEL_OPACITY);
    glRecti(left, bottom, right, top);
}
}  // namespace

TextOverlay::TextOverlay() : font(GLUT_BITMAP_TIMES_ROMAN_24) {
    calcPaintPosition();
    setColor(1.0f, 1.0f, 1.0f);
}

void TextOverlay::setColor(float r, float g, float b) { colour = Utilities<float>::createArray(r, g, b); }

void TextOverlay::setColor(int r, int g, int b) {
    constexpr float perByte = 0.00392156862745098f;
    setColor(r * perByte, g * perByte, b * perByte);
}

void TextOverlay::setText(const std::string& t) { text = t; }

void TextOverlay::setAlignment(alignment h, alignment v, int x, int y) {
    hori = h;
    vert = v;
    offsetX = x;
    offsetY = y;
    calcPaintPosition();
}

void TextOverlay::setWindowDimensions(int w, int h) {
    Overlay2D::setWindowDimensions(w, h);
    calcPaintPosition();
}

void TextOverlay::calcPaintPosition() {
    switch (hori) {
        case LEFT: paintX = offsetX; break;
        case CENTER: paintX = width / 2 + offsetX; break;
        case RIGHT: paintX = offsetX + width; break;
        default: break;
    }
    switch (vert) {
        case BOTTOM: paintY = offsetY; break;
        case TOP: paintY = offsetY + height; break;
        case CENTER: paintY = height / 2 + offsetY; break;
        default: break;
    }
}

void TextOverlay::paint() {
    if (!visible) return;
    if (panel) paintPanel();
    glColor3fv(colour.get());
    TextPainter::drawstr(paintX, paintY, font, text);
}

TextOverlay::Extent TextOverlay::measureText() const {
    Extent extent;
    int line = 0;
    std::string current;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n') {
            current += text[i];
            continue;
        }
        ++line;
        if (current.empty()) continue;
        const auto* characters = reinterpret_cast<const unsigned char*>(current.c_str());
        extent.widest = std::max(extent.widest, glutBitmapLength(font, characters));
        extent.lines = line;
        current.clear();
    }
    return extent;
}

void TextOverlay::paintPanel() const {
    const Extent extent = measureText();
    if (extent.lines == 0) return;
    // Lines go down TextPainter::textheight each; about a quarter of a bitmap
    // font's height lies below the baseline.
    const int fontHeight = glutBitmapHeight(font);
    darken(paintX - PANEL_MARGIN, paintY - (extent.lines - 1) * TextPainter::textheight - fontHeight / 4 - PANEL_MARGIN,
           paintX + extent.widest + PANEL_MARGIN, paintY + fontHeight - fontHeight / 4 + PANEL_MARGIN);
}
