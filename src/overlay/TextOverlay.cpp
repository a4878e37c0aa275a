#include "overlay/TextOverlay.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "gl/TextPainter.h"

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
    glColor3fv(colour.get());
    TextPainter::drawstr(paintX, paintY, font, text);
}
