#pragma once
#include <GL/glew.h>

#include <cstddef>
#include <string>
#include <vector>

// Text in GLUT bitmap fonts, drawn from a texture instead of by glBitmap.
// The first draw paints every printable character of each font once through
// a framebuffer object, reads back where each one has ink and keeps the
// picture in a texture; each later draw is one vertex array of textured
// quads, one quad a character, just over its ink and placed on whole pixels,
// so that the text's pixels are those that glBitmap gives and no pixel round
// them is shaded. Texts in several fonts and colours go into one draw: each
// draw call costs the GL some 30 to 60 microseconds of state checks in a
// game's frame. Without framebuffer objects it draws through glBitmap as before.
//
// The texture belongs to the context that was current at the first draw.
class GlyphAtlas {
public:
    explicit GlyphAtlas(std::vector<void*> fonts);
    ~GlyphAtlas();
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // A line in the font-th font (a line break draws nothing), the baseline
    // starting at window pixel (x, y), in the colour (r, g, b, a); drawn by
    // the next drawAdded.
    void add(std::size_t font, int x, int y, const std::string& text, float r, float g, float b, float a = 1.0f);
    // Everything added since the last draw, at once, with whatever blending
    // is on. Called while a PixelProjection lives: it draws in its
    // coordinates and leaves its switches as it found them, without saving
    // and restoring the GL's state a second time (each round of that costs
    // the frame). Vertex arrays other than its own must be off.
    void drawAdded();

    // The atlas was made: draws use the texture.
    bool ready() const { return texture != 0; }

private:
    static constexpr int FIRST = 32, LAST = 126;  // the printable ASCII characters
    static constexpr int PAD = 4;                 // room round a glyph for its offsets
    static constexpr int COLUMNS = 16;            // cells a row: a compact texture, not one long strip

    // Where a character has ink in its cell, in pixels from the cell's lower
    // left corner: [left, right) x [bottom, top); empty for a space.
    struct Ink {
        int left = 0, bottom = 0, right = 0, top = 0;
        bool empty() const { return right <= left || top <= bottom; }
    };

    static constexpr int ROWS = (LAST - FIRST) / COLUMNS + 1;  // a font's rows of cells

    // What the atlas knows of one font; its cells lie in rows of their own.
    struct Face {
        void* font;
        int baseline = 0;  // the baseline's height in a cell
        int advance[LAST - FIRST + 1] = {};
        Ink ink[LAST - FIRST + 1] = {};
    };
    // A text waiting for drawAdded.
    struct Line {
        std::size_t face;
        int x, y;
        std::string text;
        GLfloat colour[4];
    };

    // A character's cell in the texture: its lower left texel.
    int cellLeft(int c) const { return (c - FIRST) % COLUMNS * cellWidth; }
    int cellBottom(std::size_t face, int c) const {
        return (static_cast<int>(face) * ROWS + (c - FIRST) / COLUMNS) * cellHeight;
    }

    bool build();
    void paintGlyphs() const;
    void findInk(const std::vector<GLubyte>& texels);
    void addQuads(const Line& line);

    std::vector<Face> faces;
    bool tried = false;
    GLuint texture = 0;
    int cellWidth = 0, cellHeight = 0, atlasWidth = 0, atlasHeight = 0;
    std::vector<Line> lines;
    std::vector<GLfloat> vertices;  // x, y, s, t, r, g, b, a per corner
};
