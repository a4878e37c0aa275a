// Heightmaps of any size with 8 or 16 bits, heightmaps that cannot be
// used, and a ground without tiles coloured by its heights and slopes.
#include "assets/GroundColours.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>

#include "assets/AssetFiles.h"
#include "assets/TerrainNode.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"

namespace {

// A 16-bit greyscale PNG through libpng (stb writes 8 bits only); values as
// a picture viewer shows them, row 0 at the top.
void writeGrey16(const std::string& path, int w, int h, const std::vector<std::uint16_t>& values) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 16, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(2 * static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {  // PNG keeps the high byte first
            row[2 * x] = static_cast<png_byte>(values[static_cast<std::size_t>(y) * w + x] >> 8);
            row[2 * x + 1] = static_cast<png_byte>(values[static_cast<std::size_t>(y) * w + x] & 0xFF);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

struct GroundRgb {
    int r, g, b;
};
bool isMeadow(GroundRgb c) { return c.g > c.r + 20 && c.g > c.b + 40; }
bool isRock(GroundRgb c) {
    const int high = std::max({c.r, c.g, c.b}), low = std::min({c.r, c.g, c.b});
    return high - low < 45 && high < 180 && low > 50 && c.g <= c.r + 5;
}
bool isSnow(GroundRgb c) { return c.r > 215 && c.g > 215 && c.b > 215; }
std::string showColour(GroundRgb c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// Level 0 of a texture as RGB rows, the GL's first row first.
std::vector<unsigned char> texelsOf(const Texture2D& texture, int& width, int& height) {
    glBindTexture(GL_TEXTURE_2D, texture.getTextureName());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> texels(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

class HeightmapTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        AssetFiles::startDevIL();
        dir = folder.path();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        Texture2D::clearTextures();
        AssetFiles::drainDevILErrors();
    }
    std::shared_ptr<TerrainNode> loadColoured(const std::string& file, int n, Vector scale, std::string& console) {
        auto terrain = std::make_shared<TerrainNode>("test ground");
        testing::internal::CaptureStdout();
        terrain->loadColoured(dir + "/" + file, n, scale);
        console = testing::internal::GetCapturedStdout();
        return terrain;
    }

    TempFolder folder{"ground"};
    std::string dir;
};

}  // namespace

// A 200 x 120 map of 16 bits keeps every one of its 65536 levels: rows one
// level apart lie at different heights, and heightAt gives them exactly.
TEST_F(HeightmapTest, SixteenBitNonSquareMapKeepsItsPrecision) {
    const int w = 200, h = 120;
    auto value = [](int c, int rb) { return static_cast<std::uint16_t>(256 * c + rb); };  // rb counted from the bottom
    std::vector<std::uint16_t> values(static_cast<std::size_t>(w) * h);
    for (int top = 0; top < h; ++top)
        for (int c = 0; c < w; ++c) values[static_cast<std::size_t>(top) * w + c] = value(c, h - 1 - top);
    writeGrey16(dir + "/deep.png", w, h, values);
    std::string console;
    auto terrain = loadColoured("deep.png", 4, Vector(200, 10, 120), console);
    EXPECT_EQ(console.find("ERROR"), std::string::npos) << console;
    ASSERT_EQ(terrain->getSegments().size(), 16u) << console;
    ASSERT_TRUE(terrain->getGrid() && terrain->getGrid()->isSixteenBit());
    EXPECT_EQ(terrain->getMapWidth(), 200);
    EXPECT_EQ(terrain->getMapHeight(), 120);
    // One unit a pixel: vertex (c, rb) lies at x = c - 100, z = rb - 60.
    for (int c : {0, 7, 99, 150, 197})
        for (int rb : {0, 1, 2, 59, 60, 117}) {
            const double expected = static_cast<float>(value(c, rb) * 10.0 / 65535.0);
            EXPECT_NEAR(terrain->heightAt(c - 100.0, rb - 60.0), expected, 1e-6) << c << ", " << rb;
        }
    EXPECT_GT(terrain->heightAt(0, 1), terrain->heightAt(0, 0)) << "one level up is higher";
    // Between vertices, on the cell's triangles.
    EXPECT_NEAR(terrain->heightAt(-99.5, -60.0), (value(0, 0) + value(1, 0)) / 2 * 10.0 / 65535.0, 1e-5);
}

// An 8-bit map gives the floats it always gave: byte * (scale.y / 255).
TEST_F(HeightmapTest, EightBitMapGivesTheSameFloatsAsBefore) {
    const int w = 40, h = 24;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(w) * h);
    for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<unsigned char>((k * 37) % 256);
    AssetFiles::writeGreyPicture(dir + "/flat.png", w, h, bytes);
    std::string console;
    const Vector scale(80, 7.3, 48);
    auto terrain = loadColoured("flat.png", 2, scale, console);
    ASSERT_EQ(terrain->getSegments().size(), 4u) << console;
    const TerrainGrid& grid = *terrain->getGrid();
    EXPECT_FALSE(grid.isSixteenBit());
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const unsigned char byte = bytes[static_cast<std::size_t>(h - 1 - r) * w + c];
            const double before = byte * (scale.y * 0.00392156862745098);
            ASSERT_EQ(grid.point(r, c).y, before) << r << ", " << c;
            ASSERT_EQ(terrain->heightAt(c * 2.0 - 40, r * 2.0 - 24), static_cast<float>(before)) << r << ", " << c;
        }
}

// A heightmap that is missing, no picture or a single pixel is named with
// the reason, and nothing is built from it.
TEST_F(HeightmapTest, UnusableHeightmapsAreNamedAndBuildNothing) {
    AssetFiles::writeText(dir + "/text.png", "not a picture at all\n");
    AssetFiles::writeGreyPicture(dir + "/dot.png", 1, 1, {200});
    AssetFiles::writeGreyPicture(dir + "/line.png", 8, 1, std::vector<unsigned char>(8, 90));
    const std::pair<const char*, const char*> cases[] = {{"none.png", "no such file"},
                                                         {"text.png", "not a picture"},
                                                         {"dot.png", "1x1 pixels, a terrain needs at least 2x2"},
                                                         {"line.png", "8x1 pixels, a terrain needs at least 2x2"}};
    for (const auto& [file, reason] : cases) {
        SCOPED_TRACE(file);
        std::string console;
        auto terrain = loadColoured(file, 1, Vector(8, 1, 8), console);
        EXPECT_NE(console.find("\n ERROR!: Error while loading image! " + dir + "/" + file + ": " + reason),
                  std::string::npos)
            << console;
        EXPECT_TRUE(terrain->getSegments().empty());
        EXPECT_FALSE(terrain->getGrid());
        EXPECT_EQ(terrain->heightAt(0, 0), 0.0);
        EXPECT_FALSE(terrain->colouredMap());
        AssetFiles::drainDevILErrors();
    }
    // The tiled load reads its heightmap the same way.
    auto tiled = std::make_shared<TerrainNode>("tiled");
    testing::internal::CaptureStdout();
    tiled->load(dir.c_str(), "dot.png", "none", 1, Vector(8, 1, 8));
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("dot.png: 1x1 pixels"), std::string::npos) << console;
    EXPECT_TRUE(tiled->getSegments().empty());
}

// West a flat meadow, then a steep ramp; east of it a high plateau in the
// south half (+z) and low flat ground in the north half.
TEST_F(HeightmapTest, GroundIsColouredByHeightAndSlope) {
    const int w = 96, h = 32;
    auto height = [](int c, int rb) -> unsigned char {
        if (c < 32) return 0;
        if (c < 48) return static_cast<unsigned char>((c - 32) * 17);  // 40 units up over 16 units
        return rb >= 16 ? 255 : 0;
    };
    std::vector<unsigned char> bytes(static_cast<std::size_t>(w) * h);
    for (int top = 0; top < h; ++top)
        for (int c = 0; c < w; ++c) bytes[static_cast<std::size_t>(top) * w + c] = height(c, h - 1 - top);
    AssetFiles::writeGreyPicture(dir + "/hills.png", w, h, bytes);
    std::string console;
    auto terrain = loadColoured("hills.png", 2, Vector(96, 40, 32), console);
    EXPECT_NE(console.find("\n   colouring terrain by height and slope: ****"), std::string::npos) << console;
    EXPECT_EQ(console.find("preparing terrain textures"), std::string::npos) << "no tiles are read";
    ASSERT_EQ(terrain->getSegments().size(), 4u) << console;

    // The colour of grid vertex (c, rb) in segment (i, j)'s own texture.
    auto texel = [&](int i, int j, int c, int rb) {
        const auto& segment = terrain->getSegments()[static_cast<std::size_t>(i) * 2 + j];
        const std::shared_ptr<Texture2D> texture = segment->getTexture();
        EXPECT_TRUE(texture && texture->hasPicture());
        int tw = 0, th = 0;
        const std::vector<unsigned char> texels = texelsOf(*texture, tw, th);
        const TerrainGrid& grid = *terrain->getGrid();
        const int x = static_cast<int>((c - j * 48.0) / grid.segmentQuadsX(j, 2) * tw);
        const int y = static_cast<int>((rb - i * 16.0) / grid.segmentQuadsZ(i, 2) * th);
        const unsigned char* p = texels.data() + 3 * (static_cast<std::size_t>(y) * tw + x);
        return GroundRgb{p[0], p[1], p[2]};
    };
    for (int rb : {4, 24}) {
        const int i = rb / 16;
        EXPECT_TRUE(isMeadow(texel(i, 0, 10, rb))) << showColour(texel(i, 0, 10, rb)) << " flat and low";
        EXPECT_TRUE(isRock(texel(i, 0, 40, rb))) << showColour(texel(i, 0, 40, rb)) << " the steep ramp";
    }
    EXPECT_TRUE(isSnow(texel(1, 1, 72, 26))) << showColour(texel(1, 1, 72, 26)) << " the plateau";
    EXPECT_TRUE(isMeadow(texel(0, 1, 72, 5))) << showColour(texel(0, 1, 72, 5)) << " low ground beside it";
    // Not one flat colour: the noise stirs the meadow.
    EXPECT_NE(showColour(texel(0, 0, 4, 3)), showColour(texel(0, 0, 20, 10)));

    // Mipmapped like the tiles, with GLU's chain down to one texel.
    glBindTexture(GL_TEXTURE_2D, terrain->getSegments()[0]->getTexture()->getTextureName());
    GLint side = 0, last = 0, filter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &side);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 9, GL_TEXTURE_WIDTH, &last);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(side, GroundColours::segmentSide(48, 16));
    EXPECT_EQ(side, 512);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);

    // The map's picture: north at its top, so the plateau in the south is
    // in the GL's first rows, the eastern low ground in its last.
    const std::shared_ptr<Texture2D> map = terrain->colouredMap(64);
    ASSERT_TRUE(map && map->hasPicture());
    int mw = 0, mh = 0;
    const std::vector<unsigned char> pixels = texelsOf(*map, mw, mh);
    ASSERT_EQ(mw, 64);
    ASSERT_EQ(mh, 64);
    auto mapAt = [&](double x, double z) {  // world position, the terrain centred on the origin
        const int px = static_cast<int>((x + 48) / 96 * 64), glRow = static_cast<int>((16 - z) / 32 * 64);
        const unsigned char* p = pixels.data() + 3 * (static_cast<std::size_t>(glRow) * 64 + px);
        return GroundRgb{p[0], p[1], p[2]};
    };
    EXPECT_TRUE(isSnow(mapAt(30, 10))) << showColour(mapAt(30, 10)) << " south-east: the plateau";
    EXPECT_TRUE(isMeadow(mapAt(30, -10))) << showColour(mapAt(30, -10)) << " north-east: low ground";
    EXPECT_TRUE(isMeadow(mapAt(-38, 0))) << showColour(mapAt(-38, 0)) << " the western meadow";
    EXPECT_TRUE(isRock(mapAt(-7.5, -8))) << showColour(mapAt(-7.5, -8)) << " the ramp";
}
