#include <gtest/gtest.h>

#include <vector>

#include "SceneTestSupport.h"
#include "gl/DepthReading.h"
#include "gl/PixelProjection.h"
#include "gl/WorldCanvas.h"

namespace {

// A HUD picture: a white line one pixel wide down the window at column x,
// drawn in window pixels in the blended pass, as the HUD's pictures are.
class PinnedLine : public ScenegraphNode {
public:
    explicit PinnedLine(int x) : ScenegraphNode("pinned line"), x(x) {}
    bool pinnedToScreen() const override { return true; }
    void performOperations() override {
        if (getRenderState() == OPAQUE_PASS) return;
        const PixelProjection pixels;
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glVertex2f(static_cast<float>(x), 8);
        glVertex2f(static_cast<float>(x + 1), 8);
        glVertex2f(static_cast<float>(x + 1), 248);
        glVertex2f(static_cast<float>(x), 248);
        glEnd();
    }
    int x;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    int red(int x, int y) const { return rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    int green(int x, int y) const { return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + 1]; }
};

// The picture of the framebuffer bound: the window's back buffer, or the
// colour attachment of a framebuffer object.
Picture readWindow() {
    Picture p;
    p.width = GlTestWindow::width();
    p.height = GlTestWindow::height();
    p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
    GLint bound = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(bound == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, p.width, p.height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    return p;
}

// A window of the test window's size with colour alone, as the game's window
// is in auto resolution: a framebuffer object without a depth attachment,
// bound while it lives.
struct WindowWithoutDepth {
    GLuint framebuffer = 0, colour = 0;
    WindowWithoutDepth() {
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, GlTestWindow::width(), GlTestWindow::height());
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    }
    ~WindowWithoutDepth() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colour);
    }
};

// One frame as the level draws it: through the canvas when there is one.
Picture drawThrough(RootNode& root, WorldCanvas* canvas) {
    ScenegraphNode::beginFrame();
    root.startVisibilityTests();
    if (canvas && canvas->beginFrame() == WorldCanvas::SCALED) {
        root.paintWorld();
        canvas->endWorld();
        root.paintScreen();
    } else {
        root.paint();
    }
    if (canvas) canvas->endFrame();
    glFinish();
    return readWindow();
}

// Whether the direct picture changes colour next to (x, y): an edge, where
// four samples may leave a shade between the two colours.
bool atEdge(const Picture& p, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (p.red(x + dx, y + dy) != p.red(x, y) || p.green(x + dx, y + dy) != p.green(x, y)) return true;
    return false;
}

int largestDifference(const Picture& a, const Picture& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) largest = std::max(largest, std::abs(a.rgb[i] - b.rgb[i]));
    return largest;
}

// A red wall filling the left half of the view, its right edge at the
// window's middle column, and a pinned line at column 100, over the wall.
struct Scene {
    SwitchGuard guard;
    RootNode root{"root"};
    Scene() {
        ScenegraphNode::useVisibilityCulling = false;
        ScenegraphNode::displayListsEnabled = false;
        setUpView(root);
        auto wall = placed(std::make_shared<BoxNode>("wall"), -2, 0, 0, 4, 2, 0.1f);
        glow(*wall, 1, 0, 0);
        root.addChild(wall);
        root.addChild(std::make_shared<PinnedLine>(100));
    }
};

}  // namespace

// The world drawn off the screen at half and three quarters of the window's
// size lands where it is drawn straight into the window, scaled up with
// filtering (its edge passes through shades); the pinned line stays one
// window pixel wide and whole. At the full size the picture is the direct one.
TEST(WorldCanvas, ScalesTheWorldUpUnderASharpHudAndMatchesTheWindowAtFullSize) {
    REQUIRE_GL();
    Scene scene;
    WorldCanvas canvas;
    ASSERT_TRUE(canvas.available());
    canvas.setWindowSize(GlTestWindow::width(), GlTestWindow::height());
    const Picture direct = drawThrough(scene.root, nullptr);
    const int middle = GlTestWindow::width() / 2, row = GlTestWindow::height() / 2;
    ASSERT_EQ(direct.red(middle - 2, row), 255);
    ASSERT_EQ(direct.red(middle + 2, row), 0);

    canvas.drawAt(1.0);
    EXPECT_LE(largestDifference(drawThrough(scene.root, &canvas), direct), 1);
    EXPECT_EQ(canvas.pictureWidth(), GlTestWindow::width());

    for (double fraction : {0.5, 0.75}) {
        canvas.drawAt(fraction);
        const Picture scaled = drawThrough(scene.root, &canvas);
        EXPECT_EQ(canvas.pictureWidth(), static_cast<int>(GlTestWindow::width() * fraction)) << fraction;
        EXPECT_EQ(scaled.red(middle - 4, row), 255) << fraction;
        EXPECT_EQ(scaled.red(middle + 4, row), 0) << fraction;
        for (int y : {row - 30, row, row + 30})
            for (int x : {16, middle / 2, middle - 8, middle + 8, 240})
                EXPECT_EQ(scaled.red(x, y), direct.red(x, y)) << fraction << " at " << x << ", " << y;
        int shades = 0;
        for (int x = middle - 3; x <= middle + 3; ++x) shades += scaled.red(x, row) > 0 && scaled.red(x, row) < 255;
        EXPECT_GE(shades, 1) << fraction;
        // The line once, where it belongs, one pixel wide: not also in the
        // world's picture, where it would land elsewhere, scaled up.
        EXPECT_EQ(scaled.green(100, row), 255) << fraction;
        int lit = 0;
        for (int x = 0; x < scaled.width; ++x) lit += scaled.green(x, row) > 0;
        EXPECT_EQ(lit, 1) << fraction;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Four samples off the screen: the whole frame goes into a four-sample
// picture (where the lens flare's depth reading still works) and is resolved
// into the window: the direct picture but for shades along the edges; the
// window's framebuffer and viewport are back.
TEST(WorldCanvas, DrawsAWholeFrameMultisampledAndResolvesIt) {
    REQUIRE_GL();
    Scene scene;
    WorldCanvas canvas;
    canvas.setWindowSize(GlTestWindow::width(), GlTestWindow::height());
    const Picture direct = drawThrough(scene.root, nullptr);

    canvas.drawMultisampled();
    ScenegraphNode::beginFrame();
    ASSERT_EQ(canvas.beginFrame(), WorldCanvas::MULTISAMPLED);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, WorldCanvas::FOUR_SAMPLES);
    scene.root.paint();
    EXPECT_LT(DepthReading::at(60, 128), 1.0f);  // the wall
    EXPECT_FLOAT_EQ(DepthReading::at(200, 128), 1.0f);  // nothing there
    canvas.endFrame();
    GLint framebuffer = -1, viewport[4] = {};
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(viewport[2], GlTestWindow::width());
    glFinish();
    const Picture resolved = readWindow();
    int shaded = 0, elsewhere = 0;
    for (int y = 1; y + 1 < resolved.height; ++y)
        for (int x = 1; x + 1 < resolved.width; ++x) {
            const int red = resolved.red(x, y);
            if (red == direct.red(x, y) && resolved.green(x, y) == direct.green(x, y)) continue;
            if (!atEdge(direct, x, y)) ++elsewhere;
            else shaded += red > 0 && red < 255;
        }
    EXPECT_EQ(elsewhere, 0);
    EXPECT_GT(shaded, 100);  // the wall's top and bottom edges cross the pixels' rows
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A window without depth: the world keeps the depth of its own picture (the
// flare's reading sees the wall there), the HUD goes whole into the window,
// and reading the window's depth gives the far plane without a GL error,
// whether the world was scaled up or the whole frame resolved.
TEST(WorldCanvas, DrawsIntoAWindowWithoutDepth) {
    REQUIRE_GL();
    Scene scene;
    WorldCanvas canvas;
    canvas.setWindowSize(GlTestWindow::width(), GlTestWindow::height());
    const Picture direct = drawThrough(scene.root, nullptr);
    const int middle = GlTestWindow::width() / 2, row = GlTestWindow::height() / 2;
    WindowWithoutDepth window;
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    for (const bool scaled : {true, false}) {
        if (scaled) canvas.drawAt(0.5);
        else canvas.drawMultisampled();
        ScenegraphNode::beginFrame();
        const WorldCanvas::Target target = canvas.beginFrame();
        ASSERT_EQ(target, scaled ? WorldCanvas::SCALED : WorldCanvas::MULTISAMPLED);
        if (scaled) {
            scene.root.paintWorld();
            EXPECT_LT(DepthReading::at(30, 64), 1.0f);  // the wall, in the half-size picture
            canvas.endWorld();
            scene.root.paintScreen();
        } else {
            scene.root.paint();
        }
        canvas.endFrame();
        GLint bound = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), window.framebuffer) << scaled;
        EXPECT_FLOAT_EQ(DepthReading::at(60, row), 1.0f) << scaled;
        glFinish();
        const Picture drawn = readWindow();
        for (int x : {16, middle - 8, middle + 8, 240}) EXPECT_EQ(drawn.red(x, row), direct.red(x, row)) << scaled << " at " << x;
        int lit = 0;
        for (int x = 0; x < drawn.width; ++x) lit += drawn.green(x, row) > 0;
        EXPECT_EQ(lit, 1) << scaled;
        EXPECT_EQ(drawn.green(100, row), 255) << scaled;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << scaled;
    }
}
