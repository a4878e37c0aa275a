#include <GL/glew.h>
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <memory>
#include <tuple>
#include <vector>

#include "app/FPSCounter.h"
#include "gl/ColouredTriangles.h"
#include "gl/GlyphAtlas.h"
#include "gl/KeptRegion.h"
#include "gl/PixelProjection.h"
#include "gl/TextPainter.h"
#include "overlay/Overlay2DManager.h"
#include "overlay/TextOverlay.h"
#include "overlay/TimedTextOverlay.h"
#include "support/FakeClock.h"
#include "support/GlTestWindow.h"

namespace {

class Named : public Overlay2D {
public:
    explicit Named(char name) : name(name) {}
    void paint() override { log += name; }
    char name;
    static std::string log;
    int lastWidth() const { return width; }
};
std::string Named::log;

// Lit pixels in the rows [y0, y1) of the window.
int litPixels(int y0, int y1) {
    int lit = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < 64; ++x)
            if (GlTestWindow::readPixel(x, y).r > 128) ++lit;
    return lit;
}

// The window's lower 64 rows, one byte a pixel (red).
std::vector<unsigned char> lowerRows() {
    std::vector<unsigned char> red(static_cast<size_t>(GlTestWindow::width()) * 64);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, GlTestWindow::width(), 64, GL_RED, GL_UNSIGNED_BYTE, red.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return red;
}

}  // namespace

TEST(Overlay2DManager, RegistersAtClampedPositionsAndPaintsInOrder) {
    Overlay2DManager manager(640, 480, false);
    auto a = std::make_shared<Named>('a'), b = std::make_shared<Named>('b'), c = std::make_shared<Named>('c');
    manager.registerOverlay(a, 0);
    manager.registerOverlay(b, 0);   // in front of a
    manager.registerOverlay(c, 99);  // past the end: at the back
    EXPECT_EQ(a->lastWidth(), 640);
    Named::log.clear();
    for (const auto& o : manager.getOverlays()) o->paint();
    EXPECT_EQ(Named::log, "bac");

    manager.unregisterOverlay(7);  // outside: ignored
    manager.unregisterOverlay(1);  // a
    manager.registerOverlay(b, -3);
    manager.unregisterOverlay(b);  // every entry holding b
    ASSERT_EQ(manager.getOverlays().size(), 1u);
    EXPECT_EQ(manager.getOverlays().front(), c);
    manager.setWindowDimensions(800, 600);
    EXPECT_EQ(c->lastWidth(), 800);
    manager.reset();
    EXPECT_TRUE(manager.getOverlays().empty());
}

TEST(TextOverlay, AlignmentFollowsTheWindowEdges) {
    TextOverlay text;
    text.setWindowDimensions(800, 600);
    text.setAlignment(TextOverlay::RIGHT, TextOverlay::TOP, -100, -20);
    EXPECT_EQ(text.getPaintX(), 700);
    EXPECT_EQ(text.getPaintY(), 580);
    text.setWindowDimensions(1024, 768);
    EXPECT_EQ(text.getPaintX(), 924);
    EXPECT_EQ(text.getPaintY(), 748);
    text.setAlignment(TextOverlay::CENTER, TextOverlay::CENTER, 5, 0);
    EXPECT_EQ(text.getPaintX(), 517);
    EXPECT_EQ(text.getPaintY(), 384);
    text.setColor(255, 128, 0);
    EXPECT_FLOAT_EQ(text.getColour()[0], 1.0f);
    EXPECT_NEAR(text.getColour()[1], 0.502f, 1e-3);
    EXPECT_FLOAT_EQ(text.getColour()[2], 0.0f);
}

TEST(TextOverlay, DrawsLinesAndPercentSignsAsTheyStand) {
    REQUIRE_GL();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    TextOverlay text;
    text.setWindowDimensions(GlTestWindow::width(), GlTestWindow::height());
    text.setAlignment(TextOverlay::LEFT, TextOverlay::BOTTOM, 4, 100);
    text.setText("%s%n");  // would crash if read as a format
    glClear(GL_COLOR_BUFFER_BIT);
    text.paint();
    glFinish();
    EXPECT_GT(litPixels(100, 120), 0);

    TextPainter::textheight = 24;
    text.setText("HH\nHH");
    glClear(GL_COLOR_BUFFER_BIT);
    text.paint();
    glFinish();
    EXPECT_GT(litPixels(100, 118), 0);  // first line at y = 100
    EXPECT_GT(litPixels(76, 94), 0);    // second line 24 pixels lower
    EXPECT_EQ(litPixels(120, 140), 0);
}

TEST(TimedTextOverlay, HidesAfterItsPaintedDuration) {
    REQUIRE_GL();
    FakeClock clock;
    TimedTextOverlay message;
    message.setText("hello", 2.0);
    clock.advance(10.0);  // not painted: does not age...
    message.setText("hello", 2.0);
    for (int i = 0; i < 16; ++i) {  // 16 x 0.125 s: exactly 2 s, no rounding
        clock.advance(0.125);
        message.paint();
    }
    EXPECT_TRUE(message.visible);  // exactly 2.0 s is not more than 2.0
    clock.advance(0.1);
    message.paint();
    EXPECT_FALSE(message.visible);

    message.setText("stays", TimedTextOverlay::TIME_PERMANENT);
    clock.advance(1000.0);
    message.paint();
    EXPECT_TRUE(message.visible);
}

TEST(FPSCounter, AveragesOverTheInterval) {
    REQUIRE_GL();
    FakeClock clock;
    FPSCounter fps;
    fps.calc();  // off: nothing happens
    EXPECT_FALSE(fps.getOverlay()->visible);
    fps.startFPSCalculation(1.0f);
    EXPECT_EQ(fps.getOverlay()->getText(), "FPS: 0.00");
    for (int frame = 0; frame < 49; ++frame) {
        clock.advance(0.02);
        fps.calc();
    }
    EXPECT_EQ(fps.getOverlay()->getText(), "FPS: 0.00");
    clock.advance(0.02);
    fps.calc();
    EXPECT_EQ(fps.getOverlay()->getText(), "FPS: 50.00");
    fps.stopFPSCalculation();
    EXPECT_FALSE(fps.getOverlay()->visible);
    EXPECT_NEAR(fps.getCurrentFPS(), 50.0, 1e-6);
}

// The atlas draws just over each glyph's ink; its pixels must still be
// glBitmap's, for every printable character, in fonts of several sizes kept
// in one texture, in each text's own colour, on any pixel; texts in two fonts
// and colours drawn at once; a space or an empty text draws nothing, and it
// leaves the pixel projection's switches off.
TEST(GlyphAtlas, DrawsThePixelsThatGlBitmapDraws) {
    REQUIRE_GL();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    std::string printable;
    for (char c = 32; c < 127; ++c) printable += c;
    const std::vector<void*> fonts = {GLUT_BITMAP_HELVETICA_18, GLUT_BITMAP_HELVETICA_12, GLUT_BITMAP_8_BY_13};
    GlyphAtlas atlas(fonts);
    auto byGlBitmap = [](const std::vector<std::tuple<void*, int, int, std::string, float>>& texts) {
        glClear(GL_COLOR_BUFFER_BIT);
        for (const auto& [font, x, y, text, red] : texts) {
            glColor3f(red, 1.0f, 1.0f);
            TextPainter::drawstr(x, y, font, text);
        }
        return lowerRows();
    };
    for (size_t f = 0; f < fonts.size(); ++f)
        for (size_t from = 0; from < printable.size(); from += 16) {
            const std::string text = printable.substr(from, 16);
            for (int x : {3, 10}) {
                const std::vector<unsigned char> bitmap = byGlBitmap({{fonts[f], x, 21, text, 1.0f}});
                glClear(GL_COLOR_BUFFER_BIT);
                {
                    const PixelProjection pixels;
                    atlas.add(f, x, 21, text, 1.0f, 1.0f, 1.0f);
                    atlas.drawAdded();
                    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_ALPHA_TEST)) << "left switched on";
                }
                ASSERT_TRUE(atlas.ready());
                EXPECT_EQ(lowerRows(), bitmap) << "font " << f << ": \"" << text << "\" at x = " << x;
            }
        }
    // A big number over a small line in another colour, as the speedometer draws them.
    const std::vector<unsigned char> bitmap =
        byGlBitmap({{fonts[0], 4, 30, "54 km/h", 1.0f}, {fonts[1], 4, 9, "top 90 km/h", 0.5f}});
    glClear(GL_COLOR_BUFFER_BIT);
    {
        const PixelProjection pixels;
        atlas.add(0, 4, 30, "54 km/h", 1.0f, 1.0f, 1.0f);
        atlas.add(1, 4, 9, "top 90 km/h", 0.5f, 1.0f, 1.0f);
        atlas.drawAdded();
    }
    EXPECT_EQ(lowerRows(), bitmap);

    glClear(GL_COLOR_BUFFER_BIT);
    const PixelProjection pixels;
    atlas.add(0, 10, 21, "   ", 1.0f, 1.0f, 1.0f);
    atlas.add(2, 10, 21, "", 1.0f, 1.0f, 1.0f);
    atlas.drawAdded();
    atlas.drawAdded();  // nothing added
    EXPECT_EQ(litPixels(0, 64), 0);
}

// A kept rectangle draws back the very pixels it read, at their place and
// nowhere else, leaving the pixel projection's switches as they were; it
// holds only that rectangle, until forgotten. A multisampled framebuffer
// object cannot be read: nothing is kept.
TEST(KeptRegion, DrawsBackThePixelsItRead) {
    REQUIRE_GL();
    glDisable(GL_DEPTH_TEST);
    const int w = GlTestWindow::width(), h = GlTestWindow::height();
    auto window = [&] {
        std::vector<unsigned char> rgba(static_cast<size_t>(4 * w * h));
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    auto paint = [] {  // a shaded triangle and a translucent one over it, slanted edges smoothed or not
        glBegin(GL_TRIANGLES);
        glColor4f(1, 0, 0, 1);
        glVertex2f(3, 2);
        glColor4f(0, 1, 0, 1);
        glVertex2f(70, 11);
        glColor4f(0, 0, 1, 1);
        glVertex2f(20, 60);
        glColor4f(1, 1, 1, 0.5f);
        glVertex2f(30, 5);
        glVertex2f(50, 50);
        glVertex2f(10, 40);
        glEnd();
    };
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    KeptRegion kept;
    std::vector<unsigned char> painted;
    {
        const PixelProjection pixels;
        paint();
        painted = window();
        EXPECT_TRUE(kept.keep(5, 7, 50, 40));
    }
    EXPECT_TRUE(kept.holds(5, 7, 50, 40));
    EXPECT_FALSE(kept.holds(5, 7, 50, 41));
    EXPECT_FALSE(kept.holds(6, 7, 50, 40));

    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<unsigned char> cleared = window();
    {
        const PixelProjection pixels;
        kept.draw();
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }
    const std::vector<unsigned char> drawn = window();
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= 5 && x < 55 && y >= 7 && y < 47;
            const size_t at = 4 * (static_cast<size_t>(y) * w + x);
            for (size_t c = 0; c < 3; ++c) wrong += drawn[at + c] != (inside ? painted : cleared)[at + c];
        }
    EXPECT_EQ(wrong, 0);

    kept.forget();
    EXPECT_FALSE(kept.holds(5, 7, 50, 40));
    EXPECT_FALSE(kept.keep(5, 7, 0, 40)) << "an empty rectangle";

    GLuint framebuffer = 0, colour = 0;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_RGBA8, 64, 64);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_FALSE(kept.keep(0, 0, 16, 16)) << "multisampled framebuffer object";
    EXPECT_FALSE(kept.holds(0, 0, 16, 16));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colour);
    glClearColor(0, 0, 0, 0);  // as the other tests expect it
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Opaque triangles are drawn with blending off and translucent ones blend;
// either way blending is switched as before afterwards.
TEST(ColouredTriangles, BlendsOnlyWhatIsTranslucent) {
    REQUIRE_GL();
    glDisable(GL_DEPTH_TEST);
    std::vector<GLfloat> storage, otherStorage;
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    {
        const PixelProjection pixels;  // blending on
        ColouredTriangles opaque(storage);
        opaque.colour(1.0f, 0.0f, 0.0f);
        opaque.rect(0, 0, 10, 10);
        opaque.draw();
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        ColouredTriangles translucent(otherStorage);
        translucent.colour(1.0f, 0.0f, 0.0f);
        translucent.rect(10, 0, 20, 10);
        translucent.colour(0.0f, 1.0f, 0.0f, 0.5f);
        translucent.rect(20, 0, 30, 10);
        translucent.draw();
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        glDisable(GL_BLEND);
        opaque.draw();
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
    }
    const auto red = GlTestWindow::readPixel(5, 5), alsoRed = GlTestWindow::readPixel(15, 5);
    const auto mixed = GlTestWindow::readPixel(25, 5);
    EXPECT_EQ(std::tie(red.r, red.g, red.b), std::make_tuple(255, 0, 0));
    EXPECT_EQ(std::tie(alsoRed.r, alsoRed.g, alsoRed.b), std::make_tuple(255, 0, 0));
    EXPECT_NEAR(mixed.g, 128, 1) << "half green over blue";
    EXPECT_NEAR(mixed.b, 128, 1);
    glClearColor(0, 0, 0, 0);
}
