#include "gl/WorldCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

bool WorldCanvas::available() {
    if (support != Support::UNKNOWN) return support == Support::YES;
    if (!Framebuffer::supported() || !FxaaShader::supported()) {
        support = Support::NO;
        std::printf("\n NOTE: framebuffer objects or shaders not available, the world is drawn at the window's full size");
    } else if (!fxaa.build()) {
        support = Support::NO;
        std::printf("\n NOTE: the smoothing shader does not compile (%s), the world is drawn at the window's full size",
                    fxaa.error().c_str());
    } else {
        support = Support::YES;
    }
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
        smoothed.release();
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
    const GLuint window = static_cast<GLuint>(windowFramebuffer);
    const GLint* v = windowViewport;
    // The viewport is still the picture's. Should the second picture not be
    // made, the world goes up unsmoothed rather than not at all.
    if (smoothed.bindAtSize(scaled.width(), scaled.height())) {
        fxaa.draw(scaled.texture(), scaled.width(), scaled.height());
        smoothed.scaleInto(window, v[0], v[1], v[2], v[3]);
    } else {
        scaled.scaleInto(window, v[0], v[1], v[2], v[3]);
    }
    glViewport(v[0], v[1], v[2], v[3]);
}

void WorldCanvas::endFrame() {
    if (current != MULTISAMPLED) return;
    multisampled.resolveInto(static_cast<GLuint>(windowFramebuffer));
    glViewport(windowViewport[0], windowViewport[1], windowViewport[2], windowViewport[3]);
    current = WINDOW;
}
