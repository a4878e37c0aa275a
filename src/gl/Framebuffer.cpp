#include "gl/Framebuffer.h"

#include "gl/ExtensionManager.h"

Framebuffer::~Framebuffer() {
    if (ExtensionManager::contextAvailable()) release();
}

bool Framebuffer::supported() {
    return ExtensionManager::contextAvailable() && (GLEW_VERSION_3_0 || GLEW_ARB_framebuffer_object);
}

bool Framebuffer::bindAtSize(int width, int height) {
    if (width < 1 || height < 1) return false;
    if (framebuffer != 0 && width == w && height == h) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        return true;
    }
    release();
    if (allocate(width, height)) return true;
    release();
    return false;
}

void Framebuffer::attachColourTexture(int width, int height) {
    GLint oldTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &oldTexture);
    glGenTextures(1, &colourTexture);
    glBindTexture(GL_TEXTURE_2D, colourTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(oldTexture));
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
}

void Framebuffer::attachDepth(int width, int height) {
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples > 1 ? samples : 0, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
}

bool Framebuffer::allocate(int width, int height) {
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (samples > 1) {
        glGenRenderbuffers(1, &colourBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    } else {
        attachColourTexture(width, height);
    }
    attachDepth(width, height);
    w = width;
    h = height;
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return false;
}

void Framebuffer::resolveInto(GLuint target) const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
}

void Framebuffer::scaleInto(GLuint target, int x, int y, int width, int height) const {
    glPushAttrib(GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glBlitFramebuffer(0, 0, w, h, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glPopAttrib();
}

void Framebuffer::release() {
    if (framebuffer != 0) glDeleteFramebuffers(1, &framebuffer);
    if (depth != 0) glDeleteRenderbuffers(1, &depth);
    if (colourBuffer != 0) glDeleteRenderbuffers(1, &colourBuffer);
    if (colourTexture != 0) glDeleteTextures(1, &colourTexture);
    framebuffer = depth = colourBuffer = colourTexture = 0;
    w = h = 0;
}
