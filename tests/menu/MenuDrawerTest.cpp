// The menu's picture on real GL: readable text and a focus that shows by
// more than colour, over a white and a black scene alike.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "menu/MenuDrawer.h"
#include "support/GlTestWindow.h"

namespace {
constexpr int W = 640, H = 480;

double linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

// Relative luminance of an sRGB pixel, as contrast ratios are defined on it.
double luminance(const unsigned char* p) {
    return 0.2126 * linear(p[0] / 255.0) + 0.7152 * linear(p[1] / 255.0) + 0.0722 * linear(p[2] / 255.0);
}

double contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

struct Frame {
    std::vector<unsigned char> rgba = std::vector<unsigned char>(static_cast<std::size_t>(W) * H * 4);
    const unsigned char* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * W + x) * 4]; }
    // The lightest pixel of a band: the text's ink.
    double brightest(int x0, int y0, int x1, int y1) const {
        double best = 0.0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) best = std::max(best, luminance(at(x, y)));
        return best;
    }
};

Frame paintOver(MenuDrawer& drawer, float grey) {
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawer.paint();
    Frame frame;
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    return frame;
}
}  // namespace

TEST(MenuDrawer, LightTextOnADarkPanelAndAFramedMarkedFocusOverAnyScene) {
    ASSERT_TRUE(GlTestWindow::ensure(W, H)) << "no X display: run the tests through scripts/test.sh";
    auto stack = std::make_shared<MenuStack>();
    auto menu = std::make_shared<Menu>("Settings");
    menu->lines = {"A line about the panel"};
    menu->entries = {MenuEntry::action("First", nullptr),
                     MenuEntry::range("Music volume", 0, 100, 10, 50, " %", nullptr, "How loud the music plays."),
                     MenuEntry::action("Third", nullptr)};
    menu->focusOn(1);
    MenuDrawer drawer(stack);
    drawer.setWindowDimensions(W, H);

    Frame nothing = paintOver(drawer, 1.0f);
    EXPECT_EQ(nothing.at(W / 2, H / 2)[0], 255) << "no panel open: nothing drawn";
    stack->open(menu);
    const MenuLayout layout(*menu, W, H);
    for (const float behind : {1.0f, 0.0f}) {
        SCOPED_TRACE(behind == 1.0f ? "over white" : "over black");
        const Frame frame = paintOver(drawer, behind);
        const MenuLayout::Rect& p = layout.panel;
        const double panel = luminance(frame.at(p.right - 3, p.bottom + 3));
        EXPECT_LT(panel, 0.1) << "a dark panel, whatever is behind it";
        const int left = p.left + MenuLayout::PAD;
        EXPECT_GE(contrast(frame.brightest(left, layout.titleBaseline, left + 120, layout.titleBaseline + 16), panel), 4.5)
            << "the title";
        EXPECT_GE(contrast(frame.brightest(left, layout.lineBaselines[0], left + 120, layout.lineBaselines[0] + 10),
                           panel),
                  4.5)
            << "a line of information";
        EXPECT_GE(contrast(frame.brightest(left, layout.noteBaseline, left + 120, layout.noteBaseline + 8), panel), 4.5)
            << "the focused entry's description";
        const MenuLayout::Rect& third = layout.rows[2];
        EXPECT_GE(contrast(frame.brightest(third.left + 24, third.bottom + 6, third.left + 80, third.top - 6), panel), 4.5)
            << "an entry's label";

        // The focused row: a yellow frame and marker round a blue bar; the others have neither.
        const MenuLayout::Rect& focused = layout.rows[1];
        const int mid = (focused.bottom + focused.top) / 2;
        for (const unsigned char* frameEdge : {frame.at(focused.left, mid), frame.at(focused.right - 1, mid),
                                              frame.at((focused.left + focused.right) / 2, focused.top - 1)}) {
            EXPECT_GT(frameEdge[0], 200);
            EXPECT_LT(frameEdge[2], 140) << "yellow";
        }
        const unsigned char* marker = frame.at(focused.left + 10, mid);
        EXPECT_GT(marker[0], 200) << "the marker before the label";
        EXPECT_NEAR(luminance(frame.at(third.left, (third.bottom + third.top) / 2)), panel, 0.01)
            << "an entry without focus has no frame";
        EXPECT_GE(contrast(frame.brightest(focused.left + 24, focused.bottom + 6, focused.left + 80, focused.top - 6),
                           luminance(frame.at(focused.left + 20, focused.bottom + 4))),
                  4.5)
            << "the focused label on its bar";
    }
}
