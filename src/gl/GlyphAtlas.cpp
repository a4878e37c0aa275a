#include "gl/GlyphAtlas.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "gl/ExtensionManager.h"
#include "gl/TextPainter.h"

GlyphAtlas::GlyphAtlas(void* bitmapFont) : font(bitmapFont) {}

GlyphAtlas::~GlyphAtlas() {
    if (texture != 0 && ExtensionManager::contextAvailable()) glDeleteTextures(1, &texture);
}

bool GlyphAtlas::build() {
    tried = true;
    if (!ExtensionManager::contextAvailable() || !(GLEW_VERSION_3_0 || GLEW_ARB_framebuffer_object)) return false;
    for (int c = FIRST; c <= LAST; ++c) {
        advance[c - FIRST] = glutBitmapWidth(font, c);
        cellWidth = std::max(cellWidth, advance[c - FIRST]);
    }
    const int height = glutBitmapHeight(font);
    if (cellWidth <= 0 || height <= 0) return false;
    cellWidth += 2 * PAD;
    cellHeight = height + 2 * PAD;
    baseline = PAD + height / 3;  // room below the baseline for descenders
    atlasWidth = cellWidth * COLUMNS;
    atlasHeight = cellHeight * ((LAST - FIRST) / COLUMNS + 1);

    GLint oldTexture = 0, oldFramebuffer = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &oldTexture);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &oldFramebuffer);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, atlasWidth, atlasHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);

    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) paintGlyphs();
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(oldFramebuffer));
    glDeleteFramebuffers(1, &framebuffer);
    if (complete) findInk();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(oldTexture));
    if (!complete) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
    return complete;
}

// White glyphs on a clear background, each at its cell's baseline.
void GlyphAtlas::paintGlyphs() const {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, atlasWidth, atlasHeight);
    for (GLenum cap : {GL_BLEND, GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_FOG, GL_SCISSOR_TEST,
                       GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_DITHER})
        glDisable(cap);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (int c = FIRST; c <= LAST; ++c) {
        glWindowPos2i(cellLeft(c) + PAD, cellBottom(c) + baseline);
        glutBitmapCharacter(font, c);
    }
    glPopAttrib();
}

// Each cell's ink: the texels that pass the draw's alpha test (alpha > 0.5).
void GlyphAtlas::findInk() {
    std::vector<GLubyte> alpha(static_cast<std::size_t>(atlasWidth) * atlasHeight);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    glPopClientAttrib();
    for (int c = FIRST; c <= LAST; ++c) {
        Ink box{cellWidth, cellHeight, 0, 0};
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < cellWidth; ++x)
                if (alpha[static_cast<std::size_t>(cellBottom(c) + y) * atlasWidth + cellLeft(c) + x] >= 128) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::min(box.bottom, y);
                    box.top = std::max(box.top, y + 1);
                }
        ink[c - FIRST] = box;
    }
}

void GlyphAtlas::draw(int x, int y, const std::string& text) {
    if (!tried) build();
    if (!ready()) {
        TextPainter::drawstr(x, y, font, text);
        return;
    }
    vertices.clear();
    const float w = static_cast<float>(atlasWidth), h = static_cast<float>(atlasHeight);
    for (const char ch : text) {
        const int c = static_cast<unsigned char>(ch);
        if (c < FIRST || c > LAST) continue;
        const Ink& box = ink[c - FIRST];
        if (!box.empty()) {
            // The cell's lower left corner lies at (x - PAD, y - baseline).
            const float x0 = static_cast<float>(x - PAD + box.left), x1 = static_cast<float>(x - PAD + box.right);
            const float y0 = static_cast<float>(y - baseline + box.bottom), y1 = static_cast<float>(y - baseline + box.top);
            const float cellX = static_cast<float>(cellLeft(c)), cellY = static_cast<float>(cellBottom(c));
            const float s0 = (cellX + box.left) / w, s1 = (cellX + box.right) / w;
            const float t0 = (cellY + box.bottom) / h, t1 = (cellY + box.top) / h;
            const GLfloat quad[] = {x0, y0, s0, t0, x1, y0, s1, t0, x1, y1, s1, t1, x0, y1, s0, t1};
            vertices.insert(vertices.end(), std::begin(quad), std::end(quad));
        }
        x += advance[c - FIRST];
    }
    if (vertices.empty()) return;

    // Switched on for this draw only: the caller's PixelProjection has them off.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Only the glyphs' own pixels: the clear texels between strokes leave the picture alone.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    ExtensionManager::unbindVertexBuffer();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 4 * sizeof(GLfloat), vertices.data());
    glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(GLfloat), vertices.data() + 2);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 4));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}
