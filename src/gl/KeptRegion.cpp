#include "gl/KeptRegion.h"

#include <vector>

#include "gl/ExtensionManager.h"
#include "gl/OffscreenPicture.h"
#include "gl/PixelProjection.h"

KeptRegion::~KeptRegion() {
    if (texture != 0 && ExtensionManager::contextAvailable()) glDeleteTextures(1, &texture);
}

bool KeptRegion::holds(int l, int b, int w, int h) const {
    return kept && l == left && b == bottom && w == width && h == height;
}

bool KeptRegion::keep(int l, int b, int w, int h) {
    kept = false;
    if (w <= 0 || h <= 0 || !ExtensionManager::contextAvailable()) return false;
    GLint readFramebuffer = 0, sampleBuffers = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    if (readFramebuffer != 0 && sampleBuffers != 0) return false;
    // Read into memory and uploaded, rather than copied on the GL: llvmpipe
    // charges a texture that was a copy's or a draw's target more each frame
    // it is sampled (see OffscreenPicture).
    std::vector<GLubyte> texels(static_cast<std::size_t>(w) * h * 4);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(l, b, w, h, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glPopClientAttrib();
    texture = OffscreenPicture::upload(w, h, texels, texture);
    left = l, bottom = b, width = w, height = h;
    kept = true;
    return true;
}

void KeptRegion::draw() const {
    if (!kept) return;
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    drawTexturedRect(static_cast<float>(left), static_cast<float>(bottom), static_cast<float>(left + width),
                     static_cast<float>(bottom + height));
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
}
