#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "assets/LensFlare.h"
#include "scenegraph/LightNode.h"
#include "scenegraph/SceneTestSupport.h"
#include "support/TestPictures.h"

namespace {

// Pixels of the window that are not black.
int litPixels() {
    std::vector<unsigned char> rgba(static_cast<size_t>(GlTestWindow::width()) * GlTestWindow::height() * 4);
    glReadPixels(0, 0, GlTestWindow::width(), GlTestWindow::height(), GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] + rgba[i + 1] + rgba[i + 2] > 30) ++lit;
    return lit;
}

// A scene seen from (0, 0, 5) with a light and its flare: the light's eye
// position is its world position moved 5 along -z. The view ends 100 units
// out, so the light stays nearer than that.
struct FlareScene {
    RootNode root{"root"};
    std::shared_ptr<LightNode> light = std::make_shared<LightNode>(GL_LIGHT1, "light");
    std::shared_ptr<LensFlare> flare;

    explicit FlareScene(int pictures) {
        setUpView(root);
        flare = std::make_shared<LensFlare>(light, 60.0f, 1.0f, "flare");
        const std::string white = TestPictures::solid({255, 255, 255, 255});
        flare->load(std::vector<std::string>(static_cast<size_t>(pictures), white));
        root.addChild(flare);
        root.addChild(light);
        root.finalize();
    }
    // Places the light at this eye position.
    void lightAt(double x, double y, double z) {
        light->setLightPosition(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z + 5.0), 0);
    }
    int drawnPixels() {
        drawFrame(root);
        return litPixels();
    }
};

}  // namespace

TEST(LensFlare, DrawsOnlyWhileTheLightIsStrictlyInsideTheView) {
    REQUIRE_GL();
    SwitchGuard guard;
    FlareScene scene(4);
    const double d = 100;
    auto atDegrees = [&](double horizontal, double vertical) {
        return Vector(d * std::tan(horizontal * M_PI / 180), d * std::tan(vertical * M_PI / 180), -d);
    };
    // Limits of a 60 degree view with ratio 1: 30 degrees each way.
    EXPECT_TRUE(scene.flare->inFieldOfView(atDegrees(29.9, 0)));
    EXPECT_FALSE(scene.flare->inFieldOfView(atDegrees(30.1, 0)));
    EXPECT_FALSE(scene.flare->inFieldOfView(atDegrees(-30.1, 0)));
    EXPECT_TRUE(scene.flare->inFieldOfView(atDegrees(0, -29.9)));
    EXPECT_FALSE(scene.flare->inFieldOfView(atDegrees(0, 30.1)));
    EXPECT_FALSE(scene.flare->inFieldOfView(Vector(0, 0, 100))) << "behind the viewer";

    scene.lightAt(10, 7.5, -50);
    const int inView = scene.drawnPixels();
    EXPECT_GT(inView, 2000) << "the chain of squares from the light through the centre";
    const auto centre = GlTestWindow::readPixel(128, 128);
    EXPECT_GT(centre.r + centre.g + centre.b, 30) << "a square sits on the view axis (fraction 1)";

    scene.lightAt(50 * std::tan(31 * M_PI / 180), 0, -50);
    EXPECT_EQ(scene.drawnPixels(), 0);
    scene.lightAt(0, 0, 50);
    EXPECT_EQ(scene.drawnPixels(), 0);
}

TEST(LensFlare, IsHiddenByOpaqueGeometryInFrontOfTheLight) {
    REQUIRE_GL();
    SwitchGuard guard;
    FlareScene scene(4);
    scene.lightAt(10, 7.5, -50);
    ASSERT_GT(scene.drawnPixels(), 0);

    auto wall = std::make_shared<BoxNode>("black wall");  // 15 units behind the origin, across the view
    wall->useOwnTransform = true;
    wall->setTranslation(0, 0, -15);
    wall->setScale(60, 60, 1);
    glow(*wall, 0, 0, 0);
    scene.root.addChild(wall);
    scene.root.finalize();
    EXPECT_EQ(scene.drawnPixels(), 0);

    wall->setTranslation(-45, 0, -15);  // the light's pixel is free again; the wall still covers the left
    EXPECT_GT(scene.drawnPixels(), 0);
}

TEST(LensFlare, FewerPicturesDrawOnlyTheSquaresThatHaveOne) {
    REQUIRE_GL();
    SwitchGuard guard;
    FlareScene all(4), twoPictures(2), none(0);
    for (FlareScene* scene : {&all, &twoPictures, &none}) scene->lightAt(25, 20, -50);  // a long chain
    const int full = all.drawnPixels();
    const int two = twoPictures.drawnPixels();  // only the big glow and the streaks, at the light
    EXPECT_GT(two, 0);
    EXPECT_LT(two, full);
    EXPECT_EQ(none.drawnPixels(), 0);

    // Straight ahead the chain has no direction: every square stays on the light.
    testing::internal::CaptureStdout();
    all.lightAt(0, 0, -50);
    EXPECT_GT(all.drawnPixels(), 0);
    testing::internal::GetCapturedStdout();
}
