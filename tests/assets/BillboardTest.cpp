#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "assets/Billboard.h"
#include "assets/Halo.h"
#include "assets/TextureQuad.h"
#include "scenegraph/SceneTestSupport.h"
#include "support/TestPictures.h"

namespace {

using TestPictures::Colour;

// The pixel shows this picture colour (drawn with alpha 0.99 over black).
::testing::AssertionResult shows(int x, int y, Colour c) {
    const auto p = GlTestWindow::readPixel(x, y);
    auto near = [](int seen, int wanted) { return seen > wanted - 40 && seen < wanted + 40; };
    if (near(p.r, c.r) && near(p.g, c.g) && near(p.b, c.b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int(p.r) << "/" << int(p.g)
                                         << "/" << int(p.b) << ", wanted " << int(c.r) << "/" << int(c.g) << "/"
                                         << int(c.b);
}

// The four quadrants of the test picture around window pixel (cx, cy), d pixels out.
void expectUprightQuadrants(int cx, int cy, int d) {
    EXPECT_TRUE(shows(cx - d, cy + d, TestPictures::TOP_LEFT));
    EXPECT_TRUE(shows(cx + d, cy + d, TestPictures::TOP_RIGHT));
    EXPECT_TRUE(shows(cx - d, cy - d, TestPictures::BOTTOM_LEFT));
    EXPECT_TRUE(shows(cx + d, cy - d, TestPictures::BOTTOM_RIGHT));
}

std::shared_ptr<Billboard> crispBillboard(const std::string& picture, const char* name) {
    auto board = std::make_shared<Billboard>(picture.c_str(), true, name);
    TextureQuad::makeWhite(*board->getMaterial(), 0.99f);
    return board;
}

const int W = 256, H = 256, CX = W / 2, CY = H / 2;

}  // namespace

TEST(Billboard, FacesTheViewerUprightWhateverItsParentsTurn) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto parent = std::make_shared<GeometryNode>("turned parent");
    parent->useOwnTransform = true;
    parent->alwaysVisible = true;
    auto board = crispBillboard(TestPictures::quadrants(), "facing");
    board->setScale(2, 2, 2);  // 2 x 2 units at distance 5: 88 pixels in a 60 degree view of 256
    parent->addChild(board);
    root.addChild(parent);
    root.finalize();

    const float turns[][3] = {{0, 0, 0}, {35, 70, 20}, {-90, 180, 45}, {10, -120, 170}};
    for (const auto& t : turns) {
        SCOPED_TRACE(testing::Message() << "parent turned " << t[0] << "/" << t[1] << "/" << t[2]);
        parent->setRotations(t[0], t[1], t[2]);
        drawFrame(root);
        expectUprightQuadrants(CX, CY, 22);
    }
    // Moved along by its parent, the picture still faces the viewer, upright.
    parent->setTranslation(-1, 1, 0);  // 1 unit is 44 pixels at this distance
    drawFrame(root);
    expectUprightQuadrants(CX - 44, CY + 44, 22);
}

TEST(Billboard, OverlayDrawsOverNearerGeometryAndRestoresTheDepthTest) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto wall = std::make_shared<BoxNode>("near wall");  // 0.5 in front of the eye, over the whole view
    wall->useOwnTransform = true;
    wall->setTranslation(0, 0, 4.5f);
    wall->setScale(4, 4, 0.1f);
    glow(*wall, 0, 0, 0.5f);
    auto board = crispBillboard(TestPictures::quadrants(), "overlay");
    board->overlay = true;
    board->setTranslation(0, 0, -1);  // eye coordinates: one unit ahead, whatever the camera does
    board->setScale(0.4f, 0.4f, 0.4f);
    auto secondWall = std::make_shared<BoxNode>("second wall");
    secondWall->useOwnTransform = true;
    secondWall->setTranslation(0, 0, 4.4f);
    secondWall->setScale(4, 4, 0.1f);
    glow(*secondWall, 0, 0, 0.5f);
    root.addChild(wall);
    root.addChild(board);
    root.addChild(secondWall);
    root.finalize();

    drawFrame(root);
    expectUprightQuadrants(CX, CY, 20);
    const auto outside = GlTestWindow::readPixel(10, 10);
    EXPECT_TRUE(outside.b > 30 && outside.r == 0) << "the wall still covers the rest";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    root.getCamera()->setEyePoint(3, 2, 5);  // the overlay does not move with the view
    drawFrame(root);
    expectUprightQuadrants(CX, CY, 20);

    // Fully opaque, it still comes after the second wall that follows it in the scene.
    TextureQuad::makeWhite(*board->getMaterial(), 1.0f);
    drawFrame(root);
    expectUprightQuadrants(CX, CY, 20);
}

TEST(Billboard, FadedToZeroStaysOffUntilSwitchedOnAgain) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto board = crispBillboard(TestPictures::solid({255, 255, 0, 255}), "fading");
    board->setScale(2, 2, 2);
    root.addChild(board);
    root.finalize();
    auto lit = [&] { return centre().r > 40; };

    board->getMaterial()->setTransparency(0.3f);
    drawFrame(root);
    EXPECT_TRUE(lit());
    board->getMaterial()->setTransparency(0.0f);
    drawFrame(root);
    EXPECT_FALSE(board->active);
    EXPECT_FALSE(lit());
    board->getMaterial()->setTransparency(0.9f);  // raising the alpha alone brings nothing back
    drawFrame(root);
    EXPECT_FALSE(lit());
    board->active = true;
    drawFrame(root);
    EXPECT_TRUE(lit());
}

namespace {
// Each board hangs from its own parent, 1.2 units (53 pixels) left or right of the centre.
void placeBoard(RootNode& root, const std::shared_ptr<Billboard>& board, float x) {
    auto parent = std::make_shared<GeometryNode>("board holder");
    parent->useOwnTransform = true;
    parent->alwaysVisible = true;
    parent->setTranslation(x, 0, 0);
    parent->addChild(board);
    root.addChild(parent);
}
}  // namespace

// Boards of one picture draw with one texture; one that outlives the clear
// of the registry keeps drawing, and a board made after it loads anew.
TEST(Billboard, BoardsOfOnePictureShareItsTextureAndAllDraw) {
    REQUIRE_GL();
    SwitchGuard guard;
    const std::string picture = TestPictures::quadrants();
    RootNode root("root");
    setUpView(root);
    auto left = crispBillboard(picture, "left");
    auto right = crispBillboard(picture, "right");
    EXPECT_EQ(left->getQuad()->getTexture(), right->getQuad()->getTexture());
    placeBoard(root, left, -1.2f);
    placeBoard(root, right, 1.2f);
    root.finalize();
    drawFrame(root);
    expectUprightQuadrants(CX - 53, CY, 10);
    expectUprightQuadrants(CX + 53, CY, 10);

    Texture2D::clearTextures();  // as a new level's build starts
    auto late = crispBillboard(picture, "late");
    EXPECT_NE(late->getQuad()->getTexture(), right->getQuad()->getTexture());
    RootNode second("second root");
    setUpView(second);
    placeBoard(second, late, -1.2f);
    placeBoard(second, right, 1.2f);
    second.finalize();
    drawFrame(second);
    expectUprightQuadrants(CX - 53, CY, 10);
    expectUprightQuadrants(CX + 53, CY, 10);
}

// A board that reads its picture when shown holds no texture while it is off,
// shows the picture like any board once switched on (with the filters the
// switches chose meanwhile), and a missing picture gets its message at once,
// when the board is made, not when it is first shown.
TEST(Billboard, PictureReadWhenShownIsLoadedOnlyAtItsFirstDraw) {
    REQUIRE_GL();
    SwitchGuard guard;
    const std::string picture = TestPictures::quadrants();
    Texture2D::clearTextures();
    RootNode root("root");
    setUpView(root);
    auto board = std::make_shared<Billboard>(picture.c_str(), true, "late", Billboard::PictureLoad::WHEN_SHOWN);
    TextureQuad::makeWhite(*board->getMaterial(), 0.99f);
    board->active = false;
    placeBoard(root, board, 0.0f);
    root.finalize();
    drawFrame(root);
    EXPECT_FALSE(board->getQuad()->isPictureLoaded());
    EXPECT_EQ(board->getQuad()->getTexture()->getTextureName(), 0u);
    EXPECT_TRUE(Texture2D::registeredTextures().empty()) << "nothing of the picture is loaded";

    Texture2D::mipmapping(false);
    board->active = true;
    drawFrame(root);
    EXPECT_TRUE(board->getQuad()->isPictureLoaded());
    EXPECT_TRUE(board->getQuad()->getTexture()->hasPicture());
    expectUprightQuadrants(CX, CY, 10);
    board->getQuad()->getTexture()->bind();
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR) << "the mipmap switch reaches a texture loaded after it";
    Texture2D::mipmapping(true);
    EXPECT_EQ(Texture2D::registeredTextures().size(), 1u);

    testing::internal::CaptureStdout();
    Billboard missing("images/no-such-message.png", true, "missing", Billboard::PictureLoad::WHEN_SHOWN);
    const std::string atLoad = testing::internal::GetCapturedStdout();
    EXPECT_NE(atLoad.find("ERROR WHILE LOADING IMAGE images/no-such-message.png"), std::string::npos) << atLoad;
    EXPECT_NE(atLoad.find("Texture2D.loadImage(images/no-such-message.png): Error while loading image"),
              std::string::npos)
        << atLoad;
    EXPECT_TRUE(missing.getQuad()->isPictureLoaded()) << "a missing picture is tried once";
    testing::internal::CaptureStdout();
    missing.getQuad()->executeDisplayList();  // draws with the empty texture
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "reported once, at load";
}

// A board whose picture was read ahead shows it without its file; a file cut
// off after its header, read ahead, is left to the loader, which reports it
// when the board is shown, and the board draws on without its picture.
TEST(Billboard, APictureReadAheadIsShownWithoutReadingItsFile) {
    REQUIRE_GL();
    SwitchGuard guard;
    const std::string picture = TestPictures::quadrants();
    const std::string cut = picture + ".cut.png";
    {
        std::ifstream in(picture, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Cut within the header: DevIL, failing later, would leak its row pointers.
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, 40);
    }
    Texture2D::clearTextures();
    RootNode root("root");
    setUpView(root);
    auto board = std::make_shared<Billboard>(picture.c_str(), true, "read ahead", Billboard::PictureLoad::WHEN_SHOWN);
    TextureQuad::makeWhite(*board->getMaterial(), 0.99f);
    placeBoard(root, board, 0.0f);
    root.finalize();
    Billboard damaged(cut.c_str(), true, "damaged", Billboard::PictureLoad::WHEN_SHOWN);
    Texture2D::readAhead({board->getQuad()->pictureToRead(), damaged.getQuad()->pictureToRead()});
    Texture2D::finishReadingAhead();
    std::filesystem::remove(picture);

    testing::internal::CaptureStdout();
    drawFrame(root);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(board->getQuad()->getTexture()->hasPicture());
    expectUprightQuadrants(CX, CY, 10);

    testing::internal::CaptureStdout();
    damaged.getQuad()->executeDisplayList();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("ERROR WHILE LOADING IMAGE " + cut), std::string::npos) << out;
    EXPECT_FALSE(damaged.getQuad()->getTexture()->hasPicture());
    Texture::checkDevILErrors();  // what DevIL says of the damaged file, not left for the next test
    Texture2D::clearTextures();
}

TEST(TextureQuad, UploadsMipmapsOnlyWhenAskedAndSurvivesAMissingPicture) {
    REQUIRE_GL();
    const std::string picture = TestPictures::quadrants(64);
    auto levelOneWidth = [](TextureQuad& quad) {
        quad.getTexture()->bind();
        GLint width = -1, minFilter = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
        return width;
    };
    TextureQuad plain("base level only"), mipmapped("mipmapped");
    plain.load(picture.c_str(), 1, 1, false);
    mipmapped.load(picture.c_str(), 1, 1, true);
    EXPECT_EQ(levelOneWidth(plain), 0);
    EXPECT_EQ(levelOneWidth(mipmapped), 32);
    EXPECT_TRUE(plain.getMaterial()->isTransparent());

    testing::internal::CaptureStdout();
    TextureQuad missing("missing");
    missing.load("images/no-such-picture.png", 2, 2, true);
    missing.executeDisplayList();  // draws with the empty texture
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("TextureQuad.load() - missing: ERROR WHILE LOADING IMAGE images/no-such-picture.png"),
              std::string::npos)
        << out;
    EXPECT_FLOAT_EQ(missing.getVertices()[6], 1.0f);  // corner 2 at (+1, 0, +1)
    EXPECT_FLOAT_EQ(missing.getVertices()[8], 1.0f);
}

TEST(Halo, FadesOutAsTheEyeComesInsideIt) {
    REQUIRE_GL();
    SwitchGuard guard;
    RootNode root("root");
    setUpView(root);
    auto halo = std::make_shared<Halo>("area halo");  // without its picture file: a plain yellow quad
    halo->setScale(4, 4, 4);
    halo->glow(1, 1, 0, 0.7f);
    root.addChild(halo);
    root.finalize();
    auto redAt = [&](float eyeDistance) {
        root.getCamera()->setEyePoint(0, 0, eyeDistance);
        drawFrame(root);
        return int(centre().r);
    };

    // Full alpha from one size away (4), none within half of it (2), linear between.
    const int full = redAt(5.0f), half = redAt(3.0f), inside = redAt(1.5f);
    EXPECT_GT(full, 50) << half << " " << inside;
    EXPECT_NEAR(half, full / 2, 25);
    EXPECT_LT(inside, 5);
    EXPECT_FLOAT_EQ(halo->getMaterial()->diffuse[3], 0.7f) << "the fade leaves the material alone";
    EXPECT_TRUE(halo->active);
}
