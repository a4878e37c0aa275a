#pragma once
#include <GL/glew.h>

#include <string>
#include <vector>

// Text in a GLUT bitmap font, drawn from a texture instead of by glBitmap.
// The first draw paints every printable character of the font once into a
// texture through a framebuffer object and reads back where each one has
// ink; each later draw is one vertex array of textured quads, one quad a
// character, just over its ink and placed on whole pixels, so that the
// text's pixels are those that glBitmap gives and no pixel round them is
// shaded. Without framebuffer objects it draws through glBitmap as before.
//
// The texture belongs to the context that was current at the first draw.
class GlyphAtlas {
public:
    explicit GlyphAtlas(void* font);
    ~GlyphAtlas();
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // At window pixel (x, y), the baseline's start, in the current colour,
    // with whatever blending is on; one line (a line break draws nothing).
    // Called while a PixelProjection lives: it draws in its coordinates and
    // leaves its switches as it found them, without saving and restoring the
    // GL's state a second time (each round of that costs the frame).
    // Vertex arrays other than its own must be off.
    void draw(int x, int y, const std::string& text);

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

    // A character's cell in the texture: its lower left texel.
    int cellLeft(int c) const { return (c - FIRST) % COLUMNS * cellWidth; }
    int cellBottom(int c) const { return (c - FIRST) / COLUMNS * cellHeight; }

    bool build();
    void paintGlyphs() const;
    void findInk();

    void* font;
    bool tried = false;
    GLuint texture = 0;
    int cellWidth = 0, cellHeight = 0, baseline = 0, atlasWidth = 0, atlasHeight = 0;
    int advance[LAST - FIRST + 1] = {};
    Ink ink[LAST - FIRST + 1] = {};
    std::vector<GLfloat> vertices;  // x, y, s, t per corner
};
