#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

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
    const ScenegraphNode* node = board.lock().get();
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
    const ScenegraphNode* board = picture->getBillboard().get();
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
