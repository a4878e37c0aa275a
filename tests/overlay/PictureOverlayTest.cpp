#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "assets/Billboard.h"
#include "assets/Texture.h"
#include "overlay/Overlay2DManager.h"
#include "overlay/OverlayList.h"
#include "overlay/OverlayStack.h"
#include "scenegraph/SceneTestSupport.h"
#include "support/TestPictures.h"

namespace {

// A scene of screen pictures under a 60 degree view, as the game's HUD.
struct Hud {
    RootNode root{"hud root"};
    Overlay2DManager manager{256, 256, false};

    // Texturing on, as the game switches it on at its start (tests before
    // this one may have switched it off).
    Hud() {
        setUpView(root);
        Texture::enable2DTextures();
    }
    // A screen picture of one colour, added to the scene.
    std::shared_ptr<Billboard> picture(TestPictures::Colour c) {
        auto board = std::make_shared<Billboard>(TestPictures::solid(c).c_str(), true, "hud picture");
        board->overlay = true;
        root.addChild(board);
        return board;
    }
    // The HUD decides in one frame what the scene shows in the next.
    void frame() {
        manager.paint();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        root.paint();
        glFinish();
    }
};

// The dominant colour at an eye-space point: 'r', 'g', 'b', or '-' for nothing.
char colourAt(const Vector& eye) {
    int x, y;
    eyeToWindow(eye.x, eye.y, eye.z, x, y);
    const auto p = GlTestWindow::readPixel(x, y);
    if (p.r > 100 && p.g < 60 && p.b < 60) return 'r';
    if (p.g > 100 && p.r < 60 && p.b < 60) return 'g';
    if (p.b > 100 && p.r < 60 && p.g < 60) return 'b';
    return (p.r + p.g + p.b < 30) ? '-' : '?';
}

// What the four slots of a row along x show, from x0 on, spacing apart.
std::string row(double x0, double spacing) {
    std::string seen;
    for (int slot = 0; slot < 4; ++slot) seen += colourAt(Vector(x0 + spacing * slot, 0.2, -1));
    return seen;
}

constexpr TestPictures::Colour RED{255, 0, 0, 255}, GREEN{0, 255, 0, 255}, BLUE{0, 0, 255, 255};

}  // namespace

TEST(OverlayList, LinesUpVisibleItemsAndSkipsOrKeepsTheSlotsOfHiddenOnes) {
    REQUIRE_GL();
    Hud hud;
    auto list = std::make_shared<OverlayList>();
    for (auto colour : {RED, GREEN, BLUE}) list->items.push_back(std::make_shared<Overlay3D>(hud.picture(colour)));
    list->direction = OverlayList::HORIZONTAL;
    list->origin = Vector(-0.3, 0.2, -1);
    list->spacing = 0.2f;
    hud.manager.registerOverlay(list, 0);

    hud.frame();
    EXPECT_EQ(row(-0.3, 0.2), "rgb-");
    list->items[1]->visible = false;  // the middle one goes
    hud.frame();
    EXPECT_EQ(row(-0.3, 0.2), "rb--") << "hidden items take no slot";
    list->collapseHidden = false;
    hud.frame();
    EXPECT_EQ(row(-0.3, 0.2), "r-b-") << "hidden items keep their slot";

    list->visible = false;  // a hidden list leaves its items as they are
    list->items[1]->visible = true;
    hud.frame();
    EXPECT_EQ(row(-0.3, 0.2), "r-b-");

    list->visible = true;  // a column downwards from the origin
    list->direction = OverlayList::VERTICAL;
    list->spacing = -0.15f;
    hud.frame();
    std::string column;
    for (int slot = 0; slot < 4; ++slot) column += colourAt(Vector(-0.3, 0.2 - 0.15 * slot, -1));
    EXPECT_EQ(column, "rgb-");
}

TEST(OverlayStack, ShowsOnlyTheTopPicture) {
    REQUIRE_GL();
    Hud hud;
    auto stack = std::make_shared<OverlayStack>();
    stack->position = Vector(0, 0.3, -1);
    stack->scale = Vector(0.4, 0.2, 0.4);
    hud.manager.registerOverlay(stack, 0);
    auto red = hud.picture(RED), green = hud.picture(GREEN), blue = hud.picture(BLUE);
    const Vector where(0, 0.3, -1);

    stack->push(red);
    stack->push(green);
    hud.frame();
    EXPECT_EQ(colourAt(where), 'g');
    stack->pop();
    hud.frame();
    EXPECT_EQ(colourAt(where), 'r');

    stack->push(green);
    stack->push(blue);
    stack->remove(green);  // from the middle
    stack->remove(green);  // not there any more: nothing changes
    hud.frame();
    EXPECT_EQ(colourAt(where), 'b');
    stack->pop();
    hud.frame();
    EXPECT_EQ(colourAt(where), 'r');
    EXPECT_FALSE(green->active);

    stack->deactivate();  // at once, without a paint of the stack
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    hud.root.paint();
    glFinish();
    EXPECT_EQ(colourAt(where), '-');
    stack->activate();
    hud.frame();
    EXPECT_EQ(colourAt(where), 'r');
    stack->clear();
    hud.frame();
    EXPECT_EQ(colourAt(where), '-');
    EXPECT_TRUE(stack->getStack().empty());
}
