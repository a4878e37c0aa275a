#include "gl/DepthReading.h"

#include <GL/glew.h>

namespace DepthReading {
namespace {

// One pixel of depth, made at the first multisampled reading and kept for
// the program's life (the GL frees it with the context).
GLuint onePixelFramebuffer() {
    static GLuint framebuffer = 0;
    if (framebuffer != 0) return framebuffer;
    GLuint depth = 0;
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 1, 1);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer);
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawn));
    return framebuffer;
}

bool readsMultisampledObject() {
    GLint read = 0, drawn = 0, samples = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    if (read == 0 || read != drawn) return false;
    glGetIntegerv(GL_SAMPLES, &samples);  // of the draw framebuffer, the same one
    return samples > 1;
}

}  // namespace

float at(int x, int y) {
    GLfloat depth = 1.0f;
    // A framebuffer without depth (the window, while the world is drawn off
    // the screen) has nothing in front of anything: the far plane.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    if (depthBits == 0) return depth;
    if (!readsMultisampledObject()) {
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    }
    GLint picture = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &picture);
    const GLuint pixel = onePixelFramebuffer();
    glPushAttrib(GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, pixel);
    glBlitFramebuffer(x, y, x + 1, y + 1, 0, 0, 1, 1, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, pixel);
    glReadPixels(0, 0, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(picture));
    glPopAttrib();
    return depth;
}

}  // namespace DepthReading
