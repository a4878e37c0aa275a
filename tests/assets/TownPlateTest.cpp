// A town's plate written at load time: the asset kit's plate, the name
// centred and fitted inside the border, umlauts drawn, bad input harmless.
#include "assets/TownPlate.h"

#include <string>
#include <vector>

#include <IL/il.h>
#include <gtest/gtest.h>

#include "assets/AssetFiles.h"
#include "support/GlTestWindow.h"

namespace {

// The plate font as the game's data carries it, else the system's copy of the same file.
std::string plateFont() {
    const std::string images = AssetFiles::gameDataDir("images");
    if (!images.empty()) return images + "/plate-font.ttf";
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}

bool isInk(const unsigned char* p) { return p[0] < 90 && p[1] < 90 && p[2] < 90; }

// The box of the dark pixels inside the border, clear of its rounded corners (the name's ink).
struct InkBox {
    int left = TownPlate::WIDTH, right = -1, top = TownPlate::HEIGHT, bottom = -1;
    long count = 0;
};
InkBox inkInside(const TownPlate& plate) {
    InkBox box;
    for (int y = 30; y < 226; ++y)
        for (int x = 30; x < 482; ++x)
            if (isInk(plate.at(x, y))) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
    return box;
}

class TownPlateTest : public testing::Test {
protected:
    void TearDown() override { Texture2D::clearTextures(); }
};

}  // namespace

TEST_F(TownPlateTest, NameIsCentredInsideTheBorderAndFittedWhenLong) {
    testing::internal::CaptureStdout();
    const TownPlate plate("GOTSCHUCHN", plateFont());
    const TownPlate longer("RATSCHITSCHACHERSTRASSENDORF", plateFont());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_TRUE(plate.hasName() && longer.hasName());
    EXPECT_EQ(plate.texels().size(), 512u * 256 * 3);
    // Yellow to its edge, the black border inside it.
    EXPECT_TRUE(plate.at(5, 5)[0] > 230 && plate.at(5, 5)[2] < 60);
    EXPECT_TRUE(isInk(plate.at(18, 128)) && isInk(plate.at(493, 128)) && isInk(plate.at(256, 18)));
    for (const TownPlate* p : {&plate, &longer}) {
        const InkBox ink = inkInside(*p);
        EXPECT_GT(ink.count, 2000);
        EXPECT_GE(ink.left, 36) << "clear of the border";
        EXPECT_LE(ink.right, 475);
        EXPECT_NEAR(ink.left + ink.right, 511, 6) << "centred across";
        EXPECT_NEAR(ink.top + ink.bottom, 256, 8) << "capitals centred down";
    }
    EXPECT_GT(inkInside(plate).bottom - inkInside(plate).top, inkInside(longer).bottom - inkInside(longer).top + 20)
        << "the long name is written smaller";
}

// The plate the game writes is the plate the asset kit drew for the same town.
TEST_F(TownPlateTest, LooksLikeTheAssetKitsPlate) {
    const std::string models = AssetFiles::gameDataDir("models");
    if (models.empty()) GTEST_SKIP() << "the game data has not been generated";
    AssetFiles::startDevIL();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ASSERT_TRUE(ilLoadImage((models + "/tafel_text_smihel.png").c_str()));
    std::vector<unsigned char> kit(512 * 256 * 3);
    ilCopyPixels(0, 0, 0, 512, 256, 1, IL_RGB, IL_UNSIGNED_BYTE, kit.data());
    ilDeleteImages(1, &image);
    const TownPlate plate("SMIHEL", plateFont());
    long differing = 0, total = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x) {
            const unsigned char* k = kit.data() + 3 * ((255 - y) * 512 + x);  // DevIL's first row is the bottom
            const unsigned char* p = plate.at(x, y);
            int most = 0;
            for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(k[c] - p[c]));
            differing += most > 40;
            total += most;
        }
    EXPECT_LT(differing, 512 * 256 / 100) << "the same border and letters in the same places";
    EXPECT_LT(total / (512 * 256), 8) << "the same yellows";
}

TEST_F(TownPlateTest, UmlautsDrawTheirDots) {
    const TownPlate plain("OSTERN", plateFont()), umlaut("ÖSTERN", plateFont());
    const InkBox o = inkInside(plain), oe = inkInside(umlaut);
    EXPECT_LT(oe.top, o.top - 5) << "the dots stand above the capitals";
    EXPECT_GT(oe.count, o.count + 100);
    long above = 0;
    for (int y = oe.top; y < o.top; ++y)
        for (int x = 30; x < 482; ++x) above += isInk(umlaut.at(x, y));
    EXPECT_GT(above, 50);
}

TEST_F(TownPlateTest, EmptyNameBadTextOrMissingFontGiveAPlainPlateAndOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "no name to write"}, {"\xC3", "no name to write"}, {"\xFF\xFE", "no name to write"}};
    for (const auto& [name, message] : cases) {
        testing::internal::CaptureStdout();
        const TownPlate plate(name, plateFont());
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find(message), std::string::npos) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_FALSE(plate.hasName());
        EXPECT_EQ(inkInside(plate).count, 0);
    }
    testing::internal::CaptureStdout();
    const TownPlate fontless("SMIHEL", "images/no-such-font.ttf");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\n TownPlate(\"SMIHEL\"): WARNING! cannot read the font images/no-such-font.ttf: the plate stays plain");
    EXPECT_FALSE(fontless.hasName());
    EXPECT_EQ(inkInside(fontless).count, 0);
    EXPECT_TRUE(isInk(fontless.at(18, 128))) << "the border is still there";
    // A broken sequence inside a name costs only its own bytes.
    testing::internal::CaptureStdout();
    const TownPlate mended("SM\xC3IHEL", plateFont());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(mended.hasName());
}

// The texture for the sign's face: the plate with its bottom row first.
TEST_F(TownPlateTest, TextureHoldsThePlateBottomRowFirst) {
    REQUIRE_GL();
    const TownPlate plate("HUMTSCHACH", plateFont());
    const std::shared_ptr<Texture2D> texture = plate.texture();
    ASSERT_TRUE(texture && texture->hasPicture());
    glBindTexture(GL_TEXTURE_2D, texture->getTextureName());
    GLint width = 0, height = 0, levelEight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 8, GL_TEXTURE_WIDTH, &levelEight);
    std::vector<unsigned char> texels(512 * 256 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 256);
    EXPECT_EQ(levelEight, 2) << "mipmapped";
    for (int y : {0, 40, 128, 200, 255})
        for (int x : {3, 100, 256, 400}) {
            const unsigned char* t = texels.data() + 3 * ((255 - y) * 512 + x);
            EXPECT_EQ(std::vector<unsigned char>(t, t + 3), std::vector<unsigned char>(plate.at(x, y), plate.at(x, y) + 3))
                << x << ", " << y;
        }
}
