#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "animation/Animator.h"
#include "app/LoadingPicture.h"
#include "assets/Texture2D.h"
#include "scenegraph/SceneTestSupport.h"
#include "support/TestPictures.h"

namespace {

bool isChild(const RootNode& root, const ScenegraphNode* node) {
    const auto& children = root.getChildren();
    return std::any_of(children.begin(), children.end(), [node](const auto& child) { return child.get() == node; });
}

// The window's pixels, RGB, bottom row first.
std::vector<unsigned char> window() {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(GlTestWindow::width()) * GlTestWindow::height() * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, GlTestWindow::width(), GlTestWindow::height(), GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

int largestDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

bool registered(const std::shared_ptr<Texture2D>& texture) {
    const auto& all = Texture2D::registeredTextures();
    return std::find(all.begin(), all.end(), texture) != all.end();
}

class LoadingPictureTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        Texture2D::clearTextures();
        setUpView(*root);
        root->finalize();
    }
    void TearDown() override { Texture2D::clearTextures(); }

    // The fade runs for the given seconds; then a frame is drawn and the picture checks itself.
    void advance(LoadingPicture& picture, double seconds) {
        picture.getFade()->animate(seconds);
        drawFrame(*root);
        picture.animate(seconds);
    }

    SwitchGuard guard;
    std::shared_ptr<RootNode> root = std::make_shared<RootNode>("root");
    const std::string red = TestPictures::solid({255, 0, 0, 255});
};

}  // namespace

TEST_F(LoadingPictureTest, FadesOutThenLeavesTheSceneAndItsTextureIsDeleted) {
    auto picture = std::make_shared<LoadingPicture>(root, red.c_str());
    std::weak_ptr<Billboard> board = picture->getBillboard();
    const ScenegraphNode* node = picture->getNode().get();
    std::weak_ptr<Texture2D> texture = picture->getBillboard()->getQuad()->getTexture();
    const GLuint name = texture.lock()->getTextureName();
    drawFrame(*root);
    EXPECT_GT(centre().r, 240) << "the picture covers the window";

    Animator animator;
    picture->startFading(animator);
    EXPECT_TRUE(animator.isRegistered(picture));
    EXPECT_TRUE(animator.isRegistered(picture->getFade()));
    advance(*picture, 2.5);  // alpha 0.99 - 0.4 * 2.5 / 2 = 0.49
    EXPECT_NEAR(centre().r, 125, 15);
    ASSERT_TRUE(picture->getBillboard()) << "still shown";
    EXPECT_TRUE(registered(texture.lock()));

    advance(*picture, 2.6);  // below zero: the billboard switched itself off in this frame
    EXPECT_LT(centre().r, 5);
    EXPECT_FALSE(picture->getBillboard());
    EXPECT_TRUE(board.expired());
    EXPECT_FALSE(isChild(*root, node));
    EXPECT_TRUE(texture.expired());
    EXPECT_TRUE(Texture2D::registeredTextures().empty());
    EXPECT_FALSE(glIsTexture(name)) << "the OpenGL texture is given back";

    advance(*picture, 1.0);  // later frames find nothing left to do
    auto again = std::make_shared<LoadingPicture>(root, red.c_str());
    drawFrame(*root);
    EXPECT_GT(centre().r, 240) << "the picture loads and draws again";
}

TEST_F(LoadingPictureTest, ATextureThatOthersDrawWithStaysRegistered) {
    auto picture = std::make_shared<LoadingPicture>(root, red.c_str());
    auto other = std::make_shared<Billboard>(red.c_str(), true, "same picture elsewhere");
    std::shared_ptr<Texture2D> texture = other->getQuad()->getTexture();
    ASSERT_EQ(texture, picture->getBillboard()->getQuad()->getTexture());
    const ScenegraphNode* board = picture->getNode().get();
    EXPECT_TRUE(isChild(*root, board));

    Animator animator;
    picture->startFading(animator);
    advance(*picture, 6.0);
    EXPECT_FALSE(picture->getBillboard());
    EXPECT_FALSE(isChild(*root, board));
    EXPECT_TRUE(registered(texture)) << "the filter switches must still reach it";
    EXPECT_TRUE(glIsTexture(texture->getTextureName()));

    TextureQuad::makeWhite(*other->getMaterial(), 0.99f);
    other->overlay = true;
    other->setTranslation(0, 0, -1);
    root->addChild(other);
    drawFrame(*root);
    EXPECT_GT(centre().r, 240);
}

// The copy kept after the loading frame draws the billboard's own pixels, at
// full opacity and half faded, and the picture's texture is given back. The
// billboard draws itself again, reading its picture once more, with F11's
// savings off and in a viewport of another size. The quadrants, magnified
// from 64 texels, make a pixel out of place show as a jump in the colour.
TEST_F(LoadingPictureTest, ItsWindowCopyDrawsTheBillboardsPixelsAndGivesThePictureBack) {
    ScenegraphNode::detailSavings = true;
    auto picture = std::make_shared<LoadingPicture>(root, TestPictures::quadrants(64).c_str());
    auto quad = picture->getBillboard()->getQuad();
    const ScenegraphNode* node = picture->getNode().get();
    std::weak_ptr<Texture2D> original = quad->getTexture();
    drawFrame(*root);
    EXPECT_FALSE(picture->drewCopy());
    const std::vector<unsigned char> billboardOpaque = window();

    ASSERT_TRUE(picture->keepWindowCopy());
    EXPECT_TRUE(original.expired()) << "the mipmapped picture is given back";
    EXPECT_FALSE(quad->isPictureLoaded());
    drawFrame(*root);
    EXPECT_TRUE(picture->drewCopy());
    EXPECT_LE(largestDifference(window(), billboardOpaque), 1);

    Animator animator;
    picture->startFading(animator);
    advance(*picture, 2.5);  // alpha 0.49
    ASSERT_TRUE(picture->drewCopy());
    const std::vector<unsigned char> copyHalf = window();
    ScenegraphNode::detailSavings = false;
    drawFrame(*root);
    EXPECT_FALSE(picture->drewCopy());
    EXPECT_TRUE(quad->isPictureLoaded()) << "read again to draw in full";
    EXPECT_LE(largestDifference(window(), copyHalf), 1);
    EXPECT_GT(largestDifference(window(), billboardOpaque), 100) << "half faded over black";

    ScenegraphNode::detailSavings = true;
    glViewport(0, 0, GlTestWindow::width() / 2, GlTestWindow::height());
    drawFrame(*root);
    EXPECT_FALSE(picture->drewCopy()) << "a copy of another size is not stretched";
    glViewport(0, 0, GlTestWindow::width(), GlTestWindow::height());
    drawFrame(*root);
    EXPECT_TRUE(picture->drewCopy());

    quad.reset();
    advance(*picture, 2.6);  // faded out: the copy's node leaves the scene as the billboard did
    EXPECT_FALSE(picture->getBillboard());
    EXPECT_FALSE(isChild(*root, node));
    EXPECT_TRUE(Texture2D::registeredTextures().empty());
}
