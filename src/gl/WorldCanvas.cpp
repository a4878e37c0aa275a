#include "gl/WorldCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

bool WorldCanvas::available() {
    if (support != Support::UNKNOWN) return support == Support::YES;
    support = Framebuffer::supported() ? Support::YES : Support::NO;
    if (support == Support::NO)
        std::printf("\n NOTE: framebuffer objects not available, the world is drawn at the window's full size");
    return support == Support::YES;
}

void WorldCanvas::setWindowSize(int width, int height) {
    windowWidth = width;
    windowHeight = height;
}

void WorldCanvas::drawDirect() { target = WINDOW; }
void WorldCanvas::drawMultisampled() { target = MULTISAMPLED; }

void WorldCanvas::drawAt(double fraction) {
    target = SCALED;
    scale = std::isfinite(fraction) ? std::clamp(fraction, 0.5, 1.0) : 1.0;
}

bool WorldCanvas::bind(Framebuffer& picture, int width, int height) {
    glGetIntegerv(GL_VIEWPORT, windowViewport);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &windowFramebuffer);
    if (!picture.bindAtSize(width, height)) {
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(windowFramebuffer));
        return false;
    }
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

WorldCanvas::Target WorldCanvas::beginFrame() {
    current = WINDOW;
    if (target == WINDOW || windowWidth < 1 || windowHeight < 1 || !available()) return current;
    // The picture not drawn into gives its memory back.
    if (target == MULTISAMPLED) {
        scaled.release();
        if (bind(multisampled, windowWidth, windowHeight)) current = MULTISAMPLED;
    } else {
        multisampled.release();
        const int width = std::max(1, static_cast<int>(std::lround(windowWidth * scale)));
        const int height = std::max(1, static_cast<int>(std::lround(windowHeight * scale)));
        if (bind(scaled, width, height)) current = SCALED;
    }
    return current;
}

void WorldCanvas::endWorld() {
    if (current != SCALED) return;
    const GLint* v = windowViewport;
    scaled.scaleInto(static_cast<GLuint>(windowFramebuffer), v[0], v[1], v[2], v[3]);
    glViewport(v[0], v[1], v[2], v[3]);
}

void WorldCanvas::endFrame() {
    if (current != MULTISAMPLED) return;
    multisampled.resolveInto(static_cast<GLuint>(windowFramebuffer));
    glViewport(windowViewport[0], windowViewport[1], windowViewport[2], windowViewport[3]);
    current = WINDOW;
}
