#include "gl/GlyphAtlas.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <iterator>

#include "gl/ExtensionManager.h"
#include "gl/OffscreenPicture.h"
#include "gl/TextPainter.h"

GlyphAtlas::GlyphAtlas(std::vector<void*> fonts) {
    for (void* font : fonts) {
        faces.emplace_back();
        faces.back().font = font;
    }
}

GlyphAtlas::~GlyphAtlas() {
    if (texture != 0 && ExtensionManager::contextAvailable()) glDeleteTextures(1, &texture);
}

bool GlyphAtlas::build() {
    tried = true;
    // Framebuffer objects are OffscreenPicture's to check; without them the texts draw through glBitmap.
    if (faces.empty() || !ExtensionManager::contextAvailable()) return false;
    int height = 0;
    for (Face& face : faces) {
        for (int c = FIRST; c <= LAST; ++c) {
            face.advance[c - FIRST] = glutBitmapWidth(face.font, c);
            cellWidth = std::max(cellWidth, face.advance[c - FIRST]);
        }
        const int own = glutBitmapHeight(face.font);
        if (own <= 0) return false;
        face.baseline = PAD + own / 3;  // room below the baseline for descenders
        height = std::max(height, own);
    }
    if (cellWidth <= 0) return false;
    cellWidth += 2 * PAD;
    cellHeight = height + 2 * PAD;
    atlasWidth = cellWidth * COLUMNS;
    atlasHeight = cellHeight * ROWS * static_cast<int>(faces.size());

    // Painted once off the screen and read back (that also finds each
    // glyph's ink), then kept in an uploaded texture (see OffscreenPicture).
    std::vector<GLubyte> texels;
    if (!OffscreenPicture::paint(atlasWidth, atlasHeight, [this] { paintGlyphs(); }, texels)) return false;
    findInk(texels);
    texture = OffscreenPicture::upload(atlasWidth, atlasHeight, texels);
    return true;
}

// White glyphs on a clear background, each at its cell's baseline.
void GlyphAtlas::paintGlyphs() const {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    for (GLenum cap : {GL_BLEND, GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_FOG, GL_SCISSOR_TEST,
                       GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_DITHER})
        glDisable(cap);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (std::size_t f = 0; f < faces.size(); ++f)
        for (int c = FIRST; c <= LAST; ++c) {
            glWindowPos2i(cellLeft(c) + PAD, cellBottom(f, c) + faces[f].baseline);
            glutBitmapCharacter(faces[f].font, c);
        }
    glPopAttrib();
}

// Each cell's ink: the texels that pass the draw's alpha test (alpha > 0.5).
void GlyphAtlas::findInk(const std::vector<GLubyte>& texels) {
    auto alpha = [&](int x, int y) { return texels[(static_cast<std::size_t>(y) * atlasWidth + x) * 4 + 3]; };
    for (std::size_t f = 0; f < faces.size(); ++f)
        for (int c = FIRST; c <= LAST; ++c) {
            Ink box{cellWidth, cellHeight, 0, 0};
            for (int y = 0; y < cellHeight; ++y)
                for (int x = 0; x < cellWidth; ++x)
                    if (alpha(cellLeft(c) + x, cellBottom(f, c) + y) >= 128) {
                        box.left = std::min(box.left, x);
                        box.right = std::max(box.right, x + 1);
                        box.bottom = std::min(box.bottom, y);
                        box.top = std::max(box.top, y + 1);
                    }
            faces[f].ink[c - FIRST] = box;
        }
}

void GlyphAtlas::add(std::size_t font, int x, int y, const std::string& text, float r, float g, float b, float a) {
    if (font < faces.size()) lines.push_back({font, x, y, text, {r, g, b, a}});
}

void GlyphAtlas::drawAdded() {
    if (!tried) build();
    if (!ready()) {
        for (const Line& line : lines) {
            glColor4fv(line.colour);
            TextPainter::drawstr(line.x, line.y, faces[line.face].font, line.text);
        }
        lines.clear();
        return;
    }
    vertices.clear();
    for (const Line& line : lines) addQuads(line);
    lines.clear();
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
    glEnableClientState(GL_COLOR_ARRAY);
    constexpr GLsizei STRIDE = 8 * sizeof(GLfloat);
    glVertexPointer(2, GL_FLOAT, STRIDE, vertices.data());
    glTexCoordPointer(2, GL_FLOAT, STRIDE, vertices.data() + 2);
    glColorPointer(4, GL_FLOAT, STRIDE, vertices.data() + 4);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 8));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}

// One quad a character with ink, in the line's colour.
void GlyphAtlas::addQuads(const Line& line) {
    const Face& face = faces[line.face];
    const float w = static_cast<float>(atlasWidth), h = static_cast<float>(atlasHeight);
    const GLfloat* rgba = line.colour;
    int x = line.x;
    for (const char ch : line.text) {
        const int c = static_cast<unsigned char>(ch);
        if (c < FIRST || c > LAST) continue;
        const Ink& box = face.ink[c - FIRST];
        if (!box.empty()) {
            // The cell's lower left corner lies at (x - PAD, y - baseline).
            const float x0 = static_cast<float>(x - PAD + box.left), x1 = static_cast<float>(x - PAD + box.right);
            const float y0 = static_cast<float>(line.y - face.baseline + box.bottom);
            const float y1 = static_cast<float>(line.y - face.baseline + box.top);
            const float cellX = static_cast<float>(cellLeft(c)), cellY = static_cast<float>(cellBottom(line.face, c));
            const float s0 = (cellX + box.left) / w, s1 = (cellX + box.right) / w;
            const float t0 = (cellY + box.bottom) / h, t1 = (cellY + box.top) / h;
            const float corners[4][4] = {{x0, y0, s0, t0}, {x1, y0, s1, t0}, {x1, y1, s1, t1}, {x0, y1, s0, t1}};
            for (const auto& corner : corners) {
                vertices.insert(vertices.end(), std::begin(corner), std::end(corner));
                vertices.insert(vertices.end(), rgba, rgba + 4);
            }
        }
        x += face.advance[c - FIRST];
    }
}
