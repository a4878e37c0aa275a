#include "assets/Texture2D.h"

#include "assets/DetailTexture.h"
#include "assets/JpegReader.h"
#include "assets/PictureDecoder.h"
#include "assets/Rgb565Mipmaps.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "assets/AssetFiles.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"

namespace {

GLint textureParameter(GLuint texture, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint levelWidth(GLuint texture, int level) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &value);
    return value;
}

GLint boundTexture() {
    GLint value = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    return value;
}

// Every test starts with the switches at their start values and an empty
// registry, and leaves them so.
class TextureTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        AssetFiles::startDevIL();
        Texture2D::clearTextures();  // other suites of this program leave theirs
        ASSERT_FALSE(folder.path().empty());
        dir = folder.path();
        AssetFiles::writePicture(dir + "/red.png", 8, 4, 255, 0, 0);
        AssetFiles::writePicture(dir + "/green.jpg", 16, 16, 0, 255, 0);
    }
    void TearDown() override {
        Texture2D::clearTextures();
        AssetFiles::drainDevILErrors();
        Texture2D::mipmap = true;
        Texture2D::filter = true;
        Texture2D::sixteenBitPaths.clear();
        Texture2D::sixteenBits = true;
        Texture::unbindTexture();
    }
    TempFolder folder{"assets"};  // removed with the fixture
    std::string dir;
};

}  // namespace

TEST_F(TextureTest, LoadingSequenceUploadsThePictureWithMipmaps) {
    std::shared_ptr<Texture2D> texture = Texture2D::createFromFile(dir + "/red.png", GL_MIRRORED_REPEAT);
    GLuint name = texture->getTextureName();
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(texture->isTextureGenerated());
    EXPECT_FALSE(texture->isImageLoaded()) << "the DevIL copy must be dropped after the upload";
    ASSERT_EQ(Texture2D::registeredTextures().size(), 1u);
    EXPECT_EQ(Texture2D::registeredTextures()[0], texture);

    EXPECT_EQ(levelWidth(name, 0), 8);
    EXPECT_EQ(levelWidth(name, 1), 4) << "mipmaps were not built";
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);

    unsigned char texels[8 * 4 * 4];
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[1], 0);
    EXPECT_EQ(texels[2], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, MissingPictureIsReportedAndTheNextTextureStillLoads) {
    testing::internal::CaptureStdout();
    std::shared_ptr<Texture2D> missing = Texture2D::createFromFile(dir + "/none.png", GL_REPEAT);
    std::shared_ptr<Texture2D> present = Texture2D::createFromFile(dir + "/green.jpg", GL_REPEAT);
    Texture::checkDevILErrors();  // the per-frame check reports DevIL's side of the failure
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n Texture2D.loadImage(" + dir + "/none.png): Error while loading image!"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("green.jpg"), std::string::npos) << out;
    EXPECT_EQ(Texture2D::registeredTextures().size(), 2u);
    EXPECT_NE(missing->getTextureName(), 0u);
    EXPECT_NE(out.find("\n Texture::checkDevILErrors(): DevIL Error!\n   could not open file"), std::string::npos) << out;
    EXPECT_EQ(levelWidth(present->getTextureName(), 0), 16);
}

// The four rows of the filter table, each applied to every registered texture.
struct SwitchCase {
    bool filter, mipmap;
    GLint minFilter, magFilter;
};

class TextureSwitches : public TextureTest, public testing::WithParamInterface<SwitchCase> {};

TEST_P(TextureSwitches, SetTheTableFiltersOnEveryRegisteredTexture) {
    const SwitchCase& c = GetParam();
    std::shared_ptr<Texture2D> a = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT);
    std::shared_ptr<Texture2D> b = Texture2D::createFromFile(dir + "/green.jpg", GL_REPEAT);
    std::shared_ptr<Texture2D> flat =
        Texture2D::createFromFile(dir + "/green.jpg", GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR, GL_MODULATE, false);
    Texture2D::filtering(c.filter);
    Texture2D::mipmapping(c.mipmap);
    for (const std::shared_ptr<Texture2D>& t : {a, b}) {
        EXPECT_EQ(textureParameter(t->getTextureName(), GL_TEXTURE_MIN_FILTER), c.minFilter);
        EXPECT_EQ(textureParameter(t->getTextureName(), GL_TEXTURE_MAG_FILTER), c.magFilter);
    }
    // A picture without mipmaps gets the switch's filter without them: it stays complete.
    EXPECT_EQ(textureParameter(flat->getTextureName(), GL_TEXTURE_MIN_FILTER), c.magFilter);
    EXPECT_EQ(textureParameter(flat->getTextureName(), GL_TEXTURE_MAG_FILTER), c.magFilter);
    Texture2D::filtering(c.filter);  // the last switch leaves texture 0 bound
    EXPECT_EQ(boundTexture(), 0);
}

INSTANTIATE_TEST_SUITE_P(FilterTable, TextureSwitches,
                         testing::Values(SwitchCase{true, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
                                         SwitchCase{true, false, GL_LINEAR, GL_LINEAR},
                                         SwitchCase{false, true, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
                                         SwitchCase{false, false, GL_NEAREST, GL_NEAREST}));

TEST_F(TextureTest, SwitchWithAnEmptyRegistryOnlyUnbinds) {
    GLuint own = 0;
    glGenTextures(1, &own);
    glBindTexture(GL_TEXTURE_2D, own);
    GLint before = textureParameter(own, GL_TEXTURE_MIN_FILTER);
    Texture2D::filtering(false);
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_EQ(textureParameter(own, GL_TEXTURE_MIN_FILTER), before);
    glDeleteTextures(1, &own);
}

TEST_F(TextureTest, TextureLoadedAfterASwitchKeepsItsLoaderFiltersUntilTheNextSwitch) {
    Texture2D::filtering(false);
    std::shared_ptr<Texture2D> texture = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT);
    EXPECT_EQ(textureParameter(texture->getTextureName(), GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    Texture2D::mipmapping(false);
    EXPECT_EQ(textureParameter(texture->getTextureName(), GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(texture->getTextureName(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
}

TEST_F(TextureTest, BindWithoutTextureObjectReloadsADroppedPicture) {
    Texture2D texture(false);
    texture.loadImage(dir + "/red.png");
    texture.deleteImage();
    testing::internal::CaptureStdout();
    texture.bind();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n Texture2D.bind(): no texture object for " + dir + "/red.png present"), std::string::npos);
    EXPECT_NE(out.find("\n Texture2D.bind(): reloading texture " + dir + "/red.png from disk"), std::string::npos);
    EXPECT_TRUE(texture.isImageLoaded());
    EXPECT_EQ(boundTexture(), 0) << "without an object of its own the default texture is bound";

    // The reloaded picture is bound in DevIL, so it can be uploaded now.
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    texture.generateTexObj(false, 0);
    EXPECT_EQ(levelWidth(name, 0), 8);
    glDeleteTextures(1, &name);
}

TEST_F(TextureTest, BindWithAutoDeleteDropsThePictureAndReportsTheMissingObjectOnce) {
    Texture2D texture(true);
    texture.loadImage(dir + "/red.png");
    testing::internal::CaptureStdout();
    texture.bind();
    texture.bind();
    std::string out = testing::internal::GetCapturedStdout();
    std::string message = "\n Texture2D.bind(): no texture object for " + dir + "/red.png present";
    std::size_t first = out.find(message);
    EXPECT_NE(first, std::string::npos) << out;
    EXPECT_EQ(out.find(message, first + 1), std::string::npos) << "a bound texture counts as having its object";
    EXPECT_EQ(out.find("reloading"), std::string::npos) << out;
    EXPECT_FALSE(texture.isImageLoaded());
}

TEST_F(TextureTest, RegistryKeepsTexturesAliveUntilCleared) {
    std::weak_ptr<Texture2D> weak;
    GLuint name = 0;
    {
        std::shared_ptr<Texture2D> texture = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT);
        weak = texture;
        name = texture->getTextureName();
    }
    ASSERT_FALSE(weak.expired());
    EXPECT_TRUE(glIsTexture(name));
    Texture2D::clearTextures();
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(glIsTexture(name)) << "the OpenGL object must go with the last handle";
}

// One OpenGL texture per file and parameters, until the registry is cleared;
// other parameters and failed loads get textures of their own.
TEST_F(TextureTest, SameFileWithSameParametersSharesOneTextureUntilCleared) {
    std::shared_ptr<Texture2D> first = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT);
    std::shared_ptr<Texture2D> again = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT);
    EXPECT_EQ(again, first);
    EXPECT_TRUE(first->hasPicture());
    std::shared_ptr<Texture2D> mirrored = Texture2D::createFromFile(dir + "/red.png", GL_MIRRORED_REPEAT);
    std::shared_ptr<Texture2D> single =
        Texture2D::createFromFile(dir + "/red.png", GL_REPEAT, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_MODULATE, false);
    std::shared_ptr<Texture2D> nearest = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT, GL_NEAREST);
    for (const auto& other : {mirrored, single, nearest}) EXPECT_NE(other->getTextureName(), first->getTextureName());
    EXPECT_EQ(Texture2D::registeredTextures().size(), 4u) << "a shared texture is registered once";
    EXPECT_EQ(textureParameter(first->getTextureName(), GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(mirrored->getTextureName(), GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
    EXPECT_EQ(textureParameter(nearest->getTextureName(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(levelWidth(first->getTextureName(), 1), 4);
    EXPECT_EQ(levelWidth(single->getTextureName(), 1), 0) << "the unmipmapped load has its own base level only";

    // After the clear the old texture lives on with its holder; a new load reads the file again.
    const GLuint oldName = first->getTextureName();
    Texture2D::clearTextures();
    std::shared_ptr<Texture2D> fresh = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT);
    EXPECT_NE(fresh, first);
    EXPECT_NE(fresh->getTextureName(), oldName);
    EXPECT_TRUE(glIsTexture(oldName));
    ASSERT_EQ(Texture2D::registeredTextures().size(), 1u);
    EXPECT_EQ(Texture2D::registeredTextures()[0], fresh);
    EXPECT_EQ(levelWidth(fresh->getTextureName(), 0), 8);
}

TEST_F(TextureTest, MissingPictureIsNeverSharedAndEveryLoadReportsIt) {
    testing::internal::CaptureStdout();
    std::shared_ptr<Texture2D> a = Texture2D::createFromFile(dir + "/none.png", GL_REPEAT);
    std::shared_ptr<Texture2D> b = Texture2D::createFromFile(dir + "/none.png", GL_REPEAT);
    std::string out = testing::internal::GetCapturedStdout();
    AssetFiles::drainDevILErrors();
    EXPECT_NE(a, b);
    EXPECT_FALSE(a->hasPicture());
    const std::string message = "\n Texture2D.loadImage(" + dir + "/none.png): Error while loading image!";
    const std::size_t first = out.find(message);
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_NE(out.find(message, first + 1), std::string::npos) << "the second load tried the file again";

    // The picture appears: the next load finds it.
    AssetFiles::writePicture(dir + "/none.png", 4, 4, 0, 0, 255);
    std::shared_ptr<Texture2D> c = Texture2D::createFromFile(dir + "/none.png", GL_REPEAT);
    EXPECT_TRUE(c->hasPicture());
    EXPECT_EQ(levelWidth(c->getTextureName(), 0), 4);
}

GLint redBits(const Texture2D& texture, int level = 0) {
    glBindTexture(GL_TEXTURE_2D, texture.getTextureName());
    GLint bits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_RED_SIZE, &bits);
    return bits;
}

// Off without paths; with them, only pictures without alpha in a folder or
// file named there lose bits.
TEST_F(TextureTest, SixteenBitStorageOnlyForPicturesWithoutAlphaInItsFolder) {
    std::filesystem::create_directories(dir + "/tiles");
    AssetFiles::writeRgbPicture(dir + "/tiles/tile.png", 4, 4, std::vector<unsigned char>(48, 200));
    AssetFiles::writeGreyPicture(dir + "/tiles/grey.png", 4, 4, std::vector<unsigned char>(16, 200));
    EXPECT_EQ(redBits(*Texture2D::createFromFile(dir + "/tiles/tile.png", GL_MIRRORED_REPEAT)), 8);

    Texture2D::clearTextures();
    Texture2D::sixteenBitPaths = {dir + "/tiles/", dir + "/sky.png"};
    AssetFiles::writeRgbPicture(dir + "/sky.png", 4, 4, std::vector<unsigned char>(48, 100));
    EXPECT_EQ(redBits(*Texture2D::createFromFile(dir + "/sky.png", GL_REPEAT)), 5) << "one file";
    std::shared_ptr<Texture2D> tile = Texture2D::createFromFile(dir + "/tiles/tile.png", GL_MIRRORED_REPEAT);
    EXPECT_TRUE(tile->hasPicture());
    EXPECT_EQ(redBits(*tile), 5);
    GLint bits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_GREEN_SIZE, &bits);
    EXPECT_EQ(bits, 6);
    EXPECT_EQ(redBits(*tile, 2), 5) << "every mipmap level is built";
    EXPECT_EQ(levelWidth(tile->getTextureName(), 2), 1);
    EXPECT_EQ(textureParameter(tile->getTextureName(), GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
    unsigned char texels[4 * 4 * 4];
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_NEAR(texels[0], 200, 4) << "colours are rounded to 32 levels";
    EXPECT_NEAR(texels[1], 200, 2) << "green to 64";

    std::shared_ptr<Texture2D> outside = Texture2D::createFromFile(dir + "/red.png", GL_REPEAT);
    EXPECT_EQ(redBits(*outside), 8) << "outside the folder";
    EXPECT_NE(redBits(*Texture2D::createFromFile(dir + "/tiles/grey.png", GL_REPEAT)), 5) << "not an RGB picture";

    // Switched off at run time, the folder's textures get their full colours
    // back in the same texture objects, with their mipmaps and parameters;
    // switched on again, they lose them again. Others stay as they are.
    const GLuint name = tile->getTextureName();
    Texture2D::storeSixteenBits(false);
    EXPECT_EQ(tile->getTextureName(), name);
    EXPECT_EQ(redBits(*tile), 8);
    EXPECT_EQ(redBits(*tile, 2), 8);
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[0], 200);
    EXPECT_EQ(redBits(*outside), 8);
    EXPECT_EQ(redBits(*Texture2D::createFromFile(dir + "/tiles/tile.png", GL_REPEAT)), 8) << "loaded while off";
    Texture2D::storeSixteenBits(true);
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_EQ(redBits(*tile), 5);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The quick way to 16-bit tiles must store, level by level, the very texels
// that GLU's mipmaps and the driver's conversion store, for RGB and BGR
// pictures, square, wide and tall (whose last levels halve a row or a
// column); other shapes are left to GLU.
TEST_F(TextureTest, QuickSixteenBitMipmapsStoreTheTexelsOfGluAndTheDriver) {
    std::vector<unsigned char> picture(64 * 64 * 3);
    unsigned seed = 12345;
    for (unsigned char& value : picture) value = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    auto levelTexels = [](GLuint texture, int level) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        std::vector<unsigned short> texels(static_cast<std::size_t>(width) * height);
        glPixelStorei(GL_PACK_ALIGNMENT, 2);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return texels;
    };
    struct Shape {
        int width, height, levels;
        bool bgr;
    };
    for (const Shape shape : {Shape{64, 64, 7, false}, Shape{64, 64, 7, true}, Shape{64, 16, 7, false},
                              Shape{16, 64, 7, true}, Shape{4, 1, 3, false}}) {
        const std::string name = std::to_string(shape.width) + " x " + std::to_string(shape.height) +
                                 (shape.bgr ? " BGR" : " RGB") + ", level ";
        ASSERT_TRUE(Rgb565Mipmaps::fits(shape.width, shape.height)) << name;
        GLuint textures[2];
        glGenTextures(2, textures);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB565, shape.width, shape.height, shape.bgr ? GL_BGR : GL_RGB,
                          GL_UNSIGNED_BYTE, picture.data());
        const Rgb565Mipmaps quick(picture.data(), shape.width, shape.height, shape.bgr);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        quick.upload();
        ASSERT_EQ(quick.levelCount(), shape.levels) << name;
        for (int level = 0; level < shape.levels; ++level) {
            const std::vector<unsigned short> fromGlu = levelTexels(textures[0], level);
            EXPECT_EQ(levelTexels(textures[1], level), fromGlu) << name << level;
            EXPECT_EQ(quick.level(level), fromGlu) << name << level;
        }
        glDeleteTextures(2, textures);
    }
    EXPECT_FALSE(Rgb565Mipmaps::fits(2, 2)) << "rows of less than a word";
    EXPECT_FALSE(Rgb565Mipmaps::fits(96, 96)) << "not a power of two";
    EXPECT_FALSE(Rgb565Mipmaps::fits(64, 48));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The texels DevIL gives for a picture file on this thread, bottom row first.
std::vector<unsigned char> devilTexels(const std::string& path, int& width, int& height) {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    EXPECT_TRUE(ilLoadImage(path.c_str())) << path;
    width = ilGetInteger(IL_IMAGE_WIDTH);
    height = ilGetInteger(IL_IMAGE_HEIGHT);
    std::vector<unsigned char> texels(static_cast<std::size_t>(width * height * 3));
    ilCopyPixels(0, 0, 0, width, height, 1, IL_RGB, IL_UNSIGNED_BYTE, texels.data());
    ilDeleteImages(1, &image);
    return texels;
}

// JpegReader gives DevIL's very texels for colour JPEGs of odd and even
// sizes, and leaves to DevIL, quietly, what it cannot read as RGB: a grey
// JPEG, a PNG, a cut-off JPEG, a missing file.
TEST_F(TextureTest, JpegReaderReadsTheTexelsDevilReads) {
    unsigned seed = 7;
    for (const auto& [w, h] : {std::pair{37, 23}, std::pair{64, 32}}) {
        std::vector<unsigned char> rgb(static_cast<std::size_t>(w * h * 3));
        for (std::size_t i = 0; i < rgb.size(); ++i)  // a gradient with noise: every stage of the decoder counts
            rgb[i] = static_cast<unsigned char>(i % 3 * 60 + i / 3 % w * 2 + ((seed = seed * 1103515245u + 12345u) >> 28));
        const std::string path = dir + "/photo" + std::to_string(w) + ".jpg";
        AssetFiles::writeTopDownRgbPicture(path, w, h, rgb);
        int width = 0, height = 0, devilWidth = 0, devilHeight = 0;
        std::vector<unsigned char> texels;
        ASSERT_EQ(JpegReader::read(path, width, height, texels), JpegReader::RGB) << path;
        EXPECT_EQ(texels, devilTexels(path, devilWidth, devilHeight)) << path;
        EXPECT_EQ(std::pair(width, height), std::pair(devilWidth, devilHeight));
    }

    AssetFiles::writeGreyPicture(dir + "/grey.jpg", 8, 8, std::vector<unsigned char>(64, 90));
    {
        std::ifstream whole(dir + "/photo64.jpg", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
        std::ofstream(dir + "/cut.jpg", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    const std::pair<std::string, JpegReader::Result> others[] = {{"/grey.jpg", JpegReader::OTHER_FORM},
                                                                  {"/red.png", JpegReader::NOT_READ},
                                                                  {"/cut.jpg", JpegReader::NOT_READ},
                                                                  {"/missing.jpg", JpegReader::NOT_READ}};
    for (const auto& [name, expected] : others) AssetFiles::expectRefused<JpegReader>(dir + name, expected);
}

// Pictures read ahead make createFromFile's usual texture: shared, registered
// for the switches, with the 16-bit texels of the texture loaded from the
// file at every level, and without the file once it was read. Pictures the
// quick way does not take are loaded from their files, with DevIL's
// messages. The decoder hands pictures out in any order, each once, and
// stops when dropped with pictures still queued.
TEST_F(TextureTest, PicturesReadAheadMakeTheTexturesOfTheirFiles) {
    std::filesystem::create_directories(dir + "/tiles");
    std::vector<unsigned char> rgb(16 * 8 * 3);
    unsigned seed = 99;
    for (unsigned char& value : rgb) value = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    const std::string a = dir + "/tiles/a.jpg", b = dir + "/tiles/b.jpg", grey = dir + "/tiles/grey.jpg";
    AssetFiles::writeTopDownRgbPicture(a, 16, 8, rgb);
    AssetFiles::writeTopDownRgbPicture(b, 16, 8, rgb);
    AssetFiles::writeGreyPicture(grey, 8, 8, std::vector<unsigned char>(64, 90));
    Texture2D::sixteenBitPaths = {dir + "/tiles/"};
    const std::shared_ptr<Texture2D> fromDevil = Texture2D::createFromFile(b, GL_MIRRORED_REPEAT);
    Texture2D::clearTextures();

    Texture2D::readAhead({a, b, grey, dir + "/tiles/missing.jpg", dir + "/green.jpg"});
    const std::shared_ptr<Texture2D> second = Texture2D::createFromFile(b, GL_MIRRORED_REPEAT);
    Texture2D::finishReadingAhead();
    std::filesystem::remove(a);  // read by now
    const std::shared_ptr<Texture2D> fromMemory = Texture2D::createFromFile(a, GL_MIRRORED_REPEAT);
    ASSERT_TRUE(fromMemory->hasPicture() && second->hasPicture()) << "a needs its file no more";
    EXPECT_EQ(Texture2D::createFromFile(a, GL_MIRRORED_REPEAT), fromMemory) << "shared";
    EXPECT_EQ(textureParameter(fromMemory->getTextureName(), GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
    EXPECT_EQ(textureParameter(fromMemory->getTextureName(), GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    for (int level = 0; level < 5; ++level) {  // 16 x 8 down to 1 x 1
        std::vector<unsigned short> texels[2];
        for (int k = 0; k < 2; ++k) {
            glBindTexture(GL_TEXTURE_2D, (k == 0 ? fromDevil : second)->getTextureName());
            texels[k].resize(static_cast<std::size_t>(std::max(16 >> level, 1) * std::max(8 >> level, 1)));
            glPixelStorei(GL_PACK_ALIGNMENT, 2);
            glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels[k].data());
            glPixelStorei(GL_PACK_ALIGNMENT, 4);
        }
        EXPECT_EQ(texels[1], texels[0]) << "level " << level;
    }
    EXPECT_TRUE(Texture2D::createFromFile(grey, GL_REPEAT)->hasPicture()) << "grey: DevIL's way";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(Texture2D::createFromFile(dir + "/tiles/missing.jpg", GL_REPEAT)->hasPicture());
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Error while loading image"), std::string::npos);
    EXPECT_EQ(redBits(*fromMemory), 5);
    Texture2D::storeSixteenBits(false);  // F11: reads the file again
    EXPECT_EQ(redBits(*second), 8) << "registered";
    Texture2D::storeSixteenBits(true);
    Texture2D::forgetReadAhead();

    PictureDecoder decoder;
    decoder.request({b, dir + "/green.jpg"}, false);
    decoder.request({b}, true);  // queued already
    EXPECT_EQ(decoder.take(dir + "/green.jpg")->width, 16) << "out of order";
    const std::optional<DecodedPicture> taken = decoder.take(b);
    ASSERT_TRUE(taken && taken->loaded);
    EXPECT_FALSE(taken->mipmaps) << "asked for without";
    EXPECT_EQ(taken->texels.size(), 16u * 8 * 3);
    EXPECT_FALSE(decoder.take(b)) << "taken once";
    EXPECT_FALSE(decoder.take(a)) << "never asked for";
    EXPECT_FALSE(decoder.take("")) << "no path: nothing to wait for";
    {
        PictureDecoder early;
        early.request({b, grey, a, dir + "/green.jpg"}, true);
    }  // must not wait for the pictures nobody takes
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, BaseTextureBindOnlyWarns) {
    struct Plain : Texture {};
    Plain plain;
    EXPECT_TRUE(plain.enabled);
    EXPECT_TRUE(plain.generateTexture());
    testing::internal::CaptureStdout();
    plain.bind();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n Texture.bind(): WARNING! method not overwritten by subclass.");
    GLuint name = plain.getTextureName();
    glDeleteTextures(1, &name);
}

// Pictures are written top row first, as every viewer shows them; OpenGL's
// texture coordinate t = 0 must meet the bottom row of the picture.
TEST_F(TextureTest, BottomRowOfAPictureIsAtTextureCoordinateZero) {
    std::vector<unsigned char> rgb;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            unsigned char top = row == 0 ? 255 : 0;
            rgb.insert(rgb.end(), {top, 0, static_cast<unsigned char>(255 - top)});
        }
    AssetFiles::writeTopDownRgbPicture(dir + "/upright.png", 4, 4, rgb);
    std::shared_ptr<Texture2D> texture = Texture2D::createFromFile(dir + "/upright.png", GL_REPEAT);
    unsigned char texels[4 * 4 * 4];
    glBindTexture(GL_TEXTURE_2D, texture->getTextureName());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[0], 0) << "first texel row (t = 0) is the bottom of the picture";
    EXPECT_EQ(texels[2], 255);
    EXPECT_EQ(texels[3 * 16], 255) << "last texel row is the top of the picture";
}

// The grain's mip chain: level 0 keeps the picture (one 8-bit step is 256
// 16-bit steps around mid-grey), each level averages four texels and keeps
// its share of the contrast, and the coarse levels are flat mid-grey. A
// picture that is not square with a power of two side loads as no texture.
TEST_F(TextureTest, DetailMipmapsFadeToFlatMidGreyAndBadPicturesLoadNothing) {
    // A 64 x 64 chessboard of 8-texel squares, 128 - 40 and 128 + 40.
    const int size = 64;
    std::vector<unsigned char> pixels(size * size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c) pixels[r * size + c] = ((r / 8 + c / 8) % 2) ? 168 : 88;
    const auto chain = DetailTexture::mipChain(pixels, size);
    ASSERT_EQ(chain.size(), 7u);  // 64, 32, 16, 8, 4, 2, 1
    const int mid = DetailTexture::MID_GREY;
    EXPECT_EQ(chain[0][0], mid - 40 * 256);
    EXPECT_EQ(chain[0][8], mid + 40 * 256);
    EXPECT_EQ(chain[1][4], mid + 40 * 256);  // full contrast
    EXPECT_EQ(chain[2][2], mid + 7168);  // 16 x 16: a texel inside one square; 40 * 256 * 0.7
    EXPECT_EQ(chain[3][1], mid + 4096);  // 8 x 8: one texel per square; 40 * 256 * 0.4
    for (std::size_t level = 4; level < chain.size(); ++level)  // the squares are averaged away or faded out
        for (unsigned short texel : chain[level]) EXPECT_EQ(texel, mid) << "level " << level;
    EXPECT_TRUE(DetailTexture::mipChain(std::vector<unsigned char>(48 * 48, 128), 48).empty());
    EXPECT_TRUE(DetailTexture::mipChain(pixels, 32).empty());

    AssetFiles::writePicture(dir + "/wide.png", 16, 8, 128, 128, 128);
    EXPECT_FALSE(DetailTexture::createFromFile(dir + "/wide.png")->isLoaded());
    EXPECT_FALSE(DetailTexture::createFromFile(dir + "/missing.png")->isLoaded());
    AssetFiles::writePicture(dir + "/grey.png", 16, 16, 100, 100, 100);
    const auto grey = DetailTexture::createFromFile(dir + "/grey.png");
    ASSERT_TRUE(grey->isLoaded());
    EXPECT_EQ(levelWidth(grey->getTextureName(), 4), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
