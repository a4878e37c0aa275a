#include <GL/glew.h>
#include <IL/il.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "assets/AssetFiles.h"
#include "assets/PngReader.h"
#include "assets/Texture2D.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"

namespace {

// Every channel of every texel differs from its neighbours', so each
// level's rounding counts.
std::vector<unsigned char> noise(int width, int height, unsigned seed) {
    std::vector<unsigned char> texels(static_cast<std::size_t>(width * height * 4));
    for (unsigned char& value : texels) value = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    return texels;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The PNG file with a gAMA chunk of 1.0 (linear) after its header: libpng
// would convert its texels if asked to, DevIL takes them as they are.
void writeLinearCopy(const std::string& from, const std::string& to) {
    const std::string png = fileBytes(from);
    const std::size_t afterHeader = 8 + 4 + 4 + 13 + 4;  // signature, IHDR length, type, data, CRC
    std::string chunk = std::string("gAMA") + std::string("\x00\x01\x86\xa0", 4);  // 100000: gamma 1.0
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size()));
    const std::string length("\x00\x00\x00\x04", 4);
    std::string crcBytes;
    for (int shift = 24; shift >= 0; shift -= 8) crcBytes += static_cast<char>(crc >> shift & 0xff);
    std::ofstream(to, std::ios::binary) << png.substr(0, afterHeader) + length + chunk + crcBytes
                                        << png.substr(afterHeader);
}

// DevIL's texels of a picture, bottom row first, four bytes each.
std::vector<unsigned char> devilRgba(const std::string& path, int& width, int& height) {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    EXPECT_TRUE(ilLoadImage(path.c_str())) << path;
    width = ilGetInteger(IL_IMAGE_WIDTH);
    height = ilGetInteger(IL_IMAGE_HEIGHT);
    std::vector<unsigned char> texels(static_cast<std::size_t>(width * height * 4));
    ilCopyPixels(0, 0, 0, width, height, 1, IL_RGBA, IL_UNSIGNED_BYTE, texels.data());
    ilDeleteImages(1, &image);
    return texels;
}

// One level of a texture as the GL gives it back.
struct Level {
    GLint internalFormat, width, height;
    std::vector<unsigned char> rgba;
};

std::vector<Level> levelsOf(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<Level> levels;
    for (int i = 0;; ++i) {
        Level level{};
        glGetTexLevelParameteriv(GL_TEXTURE_2D, i, GL_TEXTURE_WIDTH, &level.width);
        if (level.width == 0) break;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, i, GL_TEXTURE_HEIGHT, &level.height);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, i, GL_TEXTURE_INTERNAL_FORMAT, &level.internalFormat);
        level.rgba.resize(static_cast<std::size_t>(level.width * level.height * 4));
        glGetTexImage(GL_TEXTURE_2D, i, GL_RGBA, GL_UNSIGNED_BYTE, level.rgba.data());
        levels.push_back(std::move(level));
    }
    return levels;
}

std::size_t differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    std::size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) count += a[i] != b[i];
    return count;
}

class RgbaReadAheadTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        AssetFiles::startDevIL();
        Texture2D::clearTextures();
        dir = folder.path();
    }
    void TearDown() override {
        Texture2D::forgetReadAhead();
        Texture2D::clearTextures();
        AssetFiles::drainDevILErrors();
        Texture::unbindTexture();
    }
    TempFolder folder{"assets"};  // removed with the fixture
    std::string dir;
};

}  // namespace

// PngReader gives DevIL's very texels for RGBA pictures of odd and even
// sizes, also where the file states a gamma, and leaves to DevIL, quietly,
// what it does not read as DevIL does: other forms, a cut-off or false file,
// a missing one.
TEST_F(RgbaReadAheadTest, PngReaderReadsTheTexelsDevilReadsAndLeavesTheRestToIt) {
    AssetFiles::writeTopDownRgbaPicture(dir + "/noise64.png", 64, 32, noise(64, 32, 7));
    AssetFiles::writeTopDownRgbaPicture(dir + "/noise37.png", 37, 23, noise(37, 23, 8));
    writeLinearCopy(dir + "/noise64.png", dir + "/linear.png");
    for (const std::string name : {"/noise64.png", "/noise37.png", "/linear.png"}) {
        const std::string path = dir + name;
        int width = 0, height = 0, devilWidth = 0, devilHeight = 0;
        std::vector<unsigned char> texels;
        ASSERT_EQ(PngReader::read(path, width, height, texels), PngReader::RGBA) << path;
        EXPECT_EQ(differing(texels, devilRgba(path, devilWidth, devilHeight)), 0u) << path;
        EXPECT_EQ(std::pair(width, height), std::pair(devilWidth, devilHeight));
    }

    AssetFiles::writeGreyPicture(dir + "/grey.png", 8, 8, std::vector<unsigned char>(64, 90));
    AssetFiles::writeTopDownRgbPicture(dir + "/rgb.png", 4, 4, std::vector<unsigned char>(48, 200));
    AssetFiles::writePicture(dir + "/photo.jpg", 8, 8, 10, 20, 30);
    const std::string whole = fileBytes(dir + "/noise64.png");
    std::ofstream(dir + "/cut.png", std::ios::binary) << whole.substr(0, whole.size() / 2);
    std::ofstream(dir + "/text.png", std::ios::binary) << "not a picture";
    const std::pair<std::string, PngReader::Result> others[] = {
        {"/grey.png", PngReader::OTHER_FORM}, {"/rgb.png", PngReader::OTHER_FORM},
        {"/photo.jpg", PngReader::NOT_READ},  {"/cut.png", PngReader::NOT_READ},
        {"/text.png", PngReader::NOT_READ},   {"/missing.png", PngReader::NOT_READ}};
    for (const auto& [name, expected] : others) AssetFiles::expectRefused<PngReader>(dir + name, expected);
}

// A message board read ahead makes the texture DevIL's loader makes of its
// file: the same internal format, levels down to 1 x 1 and texels at every
// level, for the game's own board and for a picture of noise.
TEST_F(RgbaReadAheadTest, APictureReadAheadHasTheTexelsOfDevilsUploadAtEveryLevel) {
    const std::string images = AssetFiles::gameDataDir("images");
    if (images.empty()) GTEST_SKIP() << "the game data has not been generated";
    const std::string board = dir + "/got_sign.png", noisy = dir + "/noise.png";
    std::filesystem::copy_file(images + "/got_sign.png", board);
    AssetFiles::writeTopDownRgbaPicture(noisy, 32, 8, noise(32, 8, 5));
    for (const auto& [path, levels] : {std::pair{board, 11u}, std::pair{noisy, 6u}}) {
        const std::vector<Level> fromDevil = levelsOf(Texture2D::createFromFile(path, GL_REPEAT)->getTextureName());
        ASSERT_EQ(fromDevil.size(), levels) << path;
        Texture2D::clearTextures();

        Texture2D::readAhead({path});
        Texture2D::finishReadingAhead();
        std::filesystem::rename(path, path + ".away");
        const std::shared_ptr<Texture2D> texture = Texture2D::createFromFile(path, GL_REPEAT);
        std::filesystem::rename(path + ".away", path);
        ASSERT_TRUE(texture->hasPicture()) << path << " was read ahead: its file is needed no more";
        const std::vector<Level> readAhead = levelsOf(texture->getTextureName());
        ASSERT_EQ(readAhead.size(), levels) << path;
        for (std::size_t i = 0; i < levels; ++i) {
            SCOPED_TRACE(testing::Message() << path << ", level " << i);
            EXPECT_EQ(readAhead[i].internalFormat, fromDevil[i].internalFormat);
            EXPECT_EQ(std::pair(readAhead[i].width, readAhead[i].height),
                      std::pair(fromDevil[i].width, fromDevil[i].height));
            EXPECT_EQ(differing(readAhead[i].rgba, fromDevil[i].rgba), 0u);
        }
        Texture2D::clearTextures();
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
