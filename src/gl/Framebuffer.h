#pragma once
#include <GL/glew.h>

// An off-screen picture to draw into: a framebuffer object with a 24-bit
// depth buffer and, with one sample per pixel, a colour texture (RGBA,
// filtered linearly when sampled, so that it scales up smoothly) or, with
// more, a multisampled colour buffer that is resolved into another
// framebuffer. Its storage is made again only when its size changes.
class Framebuffer {
public:
    explicit Framebuffer(int samples = 1) : samples(samples) {}
    ~Framebuffer();
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    // Framebuffer objects exist (GL 3.0 or ARB_framebuffer_object).
    static bool supported();

    // Makes the picture width x height (both at least 1); false, with
    // nothing kept, when the GL cannot draw into it. Leaves it bound.
    bool bindAtSize(int width, int height);
    // Averages the samples of the whole picture into the same rectangle of
    // framebuffer target (0: the window), which is bound afterwards.
    void resolveInto(GLuint target) const;
    // The one-sample picture scaled over the rectangle x, y, width, height of
    // framebuffer target, filtered bilinearly (the scissor test aside); target
    // is bound afterwards.
    void scaleInto(GLuint target, int x, int y, int width, int height) const;
    void release();

    GLuint texture() const { return colourTexture; }  // 0 when multisampled
    int width() const { return w; }
    int height() const { return h; }

private:
    bool allocate(int width, int height);
    void attachColourTexture(int width, int height);
    void attachDepth(int width, int height);

    int samples;
    GLuint framebuffer = 0;
    GLuint colourTexture = 0;
    GLuint colourBuffer = 0;
    GLuint depth = 0;
    int w = 0, h = 0;
};
