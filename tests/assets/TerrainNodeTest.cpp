#include "assets/TerrainNode.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <GL/glu.h>
#include <gtest/gtest.h>

#include "assets/AssetFiles.h"
#include "physics/Physics.h"
#include "physics/newton.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"
#include "support/TriangleCorners.h"

namespace {

using Pixels = std::vector<unsigned char>;

// A heightmap in the usual picture order (row 0 at the top) from a function of
// the column c and the row counted from the bottom, rb: the terrain puts rb = 0
// at -z.
template <typename F>
Pixels heightmap(int w, int h, F value) {
    Pixels pixels(static_cast<std::size_t>(w) * h);
    for (int top = 0; top < h; ++top)
        for (int c = 0; c < w; ++c) pixels[static_cast<std::size_t>(top) * w + c] = value(c, h - 1 - top);
    return pixels;
}

Pixels uniformTile(unsigned char r, unsigned char g, unsigned char b) {
    Pixels rgb;
    for (int i = 0; i < 16; ++i) rgb.insert(rgb.end(), {r, g, b});
    return rgb;
}

class TerrainTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        AssetFiles::startDevIL();
        ASSERT_FALSE(folder.path().empty());
        dir = folder.path();
        saved = {ScenegraphNode::useVisibilityCulling, ScenegraphNode::useAlphaBlending,
                 ScenegraphNode::modifyLighting};
    }
    void TearDown() override {
        Texture2D::clearTextures();
        AssetFiles::drainDevILErrors();
        ScenegraphNode::useVisibilityCulling = saved.culling;
        ScenegraphNode::useAlphaBlending = saved.blending;
        ScenegraphNode::modifyLighting = saved.lighting;
    }

    void writeTiles(int n) {
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                AssetFiles::writeTopDownRgbPicture(
                    dir + "/ground_" + std::to_string(a) + "_" + std::to_string(b) + ".jpg", 4, 4,
                    uniformTile(static_cast<unsigned char>(40 * a), 128, static_cast<unsigned char>(40 * b)));
    }

    std::shared_ptr<TerrainNode> build(int w, int h, const Pixels& pixels, int n, Vector scale,
                                       Vector offset = Vector(0, 0, 0), std::string* console = nullptr) {
        AssetFiles::writeGreyPicture(dir + "/height.png", w, h, pixels);
        auto terrain = std::make_shared<TerrainNode>("test terrain");
        terrain->setTranslation(static_cast<float>(offset.x), static_cast<float>(offset.y),
                                static_cast<float>(offset.z));
        testing::internal::CaptureStdout();
        terrain->load(dir.c_str(), "height.png", "ground", n, scale);
        std::string out = testing::internal::GetCapturedStdout();
        if (console != nullptr) *console = out;
        return terrain;
    }

    TempFolder folder{"assets"};  // removed with the fixture
    std::string dir;
    struct {
        bool culling, blending, lighting;
    } saved{};
};

struct Extent {
    float min[3] = {1e30f, 1e30f, 1e30f}, max[3] = {-1e30f, -1e30f, -1e30f};
    void add(const float* p) {
        for (int k = 0; k < 3; ++k) {
            min[k] = std::min(min[k], p[k]);
            max[k] = std::max(max[k], p[k]);
        }
    }
};

Extent extentOf(const TerrainNode& terrain) {
    Extent e;
    for (const auto& segment : terrain.getSegments()) {
        const TriangleCorners corners(*segment);
        for (int i = 0; i < 3 * segment->getTriangleCount(); ++i) e.add(corners.positions.data() + 3 * i);
    }
    return e;
}

}  // namespace

TEST_F(TerrainTest, HeightmapOf256With8SegmentsUsesEveryPixel) {
    writeTiles(8);
    std::string console;
    auto terrain = build(256, 256, heightmap(256, 256, [](int c, int r) { return (c + r) / 2; }), 8,
                         Vector(600, 5, 600), Vector(0, 0, 0), &console);
    // Each step of the load says what it does, in this order.
    size_t at = 0;
    for (const std::string& step : {std::string("\n TerrainNode::load() - test terrain: creating terrain from heightmap"),
                                    "\n   preparing terrain textures: " + std::string(64, '*'),
                                    "\n   loading heightmap: " + dir + "/height.png",
                                    std::string("\n   generating terrain vertices..."),
                                    std::string("\n   calculating face normals..."),
                                    std::string("\n   calculating vertex normals..."),
                                    std::string("\n   splitting terrain in 8x8 quad sections with 32x32 vertices..."),
                                    std::string("\n   deleting temporary data...")}) {
        EXPECT_EQ(console.find(step, console.find(step) + 1), std::string::npos) << step << " once only";
        at = console.find(step, at);
        ASSERT_NE(at, std::string::npos) << step << " in its place in:" << console;
    }
    EXPECT_EQ(console.find("Error"), std::string::npos) << console;
    EXPECT_EQ(terrain->getMapWidth(), 256);
    EXPECT_DOUBLE_EQ(terrain->getStepX(), 600.0 / 256);

    const auto& segments = terrain->getSegments();
    ASSERT_EQ(segments.size(), 64u);
    EXPECT_EQ(terrain->getChildren().size(), 64u);
    EXPECT_TRUE(terrain->getMeshes().empty());
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const MeshNode& segment = *segments[i * 8 + j];
            SCOPED_TRACE(segment.getNodeDescription());
            EXPECT_EQ(std::string(segment.getNodeDescription()),
                      "terrain segment " + std::to_string(j) + ":" + std::to_string(i));
            int quadsX = j == 7 ? 31 : 32, quadsZ = i == 7 ? 31 : 32;
            EXPECT_EQ(segment.getTriangleCount(), 2 * quadsX * quadsZ);
            EXPECT_EQ(segment.getVertexCount(), (quadsX + 1) * (quadsZ + 1));
            EXPECT_EQ(segment.getTexture()->getFileName(),
                      dir + "/ground_" + std::to_string(j) + "_" + std::to_string(7 - i) + ".jpg");
            EXPECT_TRUE(segment.getTexture()->enabled);
            EXPECT_EQ(segment.getMaterial(), terrain->getMaterial());
            EXPECT_TRUE(segment.useOwnTransform);
            EXPECT_TRUE(segment.isUsingDisplayList());
        }
    EXPECT_EQ(segments[2]->getTexture()->getFileName(), dir + "/ground_2_7.jpg");

    Extent e = extentOf(*terrain);
    EXPECT_FLOAT_EQ(e.min[0], -300);
    EXPECT_FLOAT_EQ(e.max[0], static_cast<float>(300 - 600.0 / 256));
    EXPECT_FLOAT_EQ(e.min[2], -300);
    EXPECT_FLOAT_EQ(e.max[2], static_cast<float>(300 - 600.0 / 256));
    EXPECT_FLOAT_EQ(e.max[1], static_cast<float>(255 / 255.0 * 5));
}

TEST_F(TerrainTest, FlatMapHasUpwardNormals) {
    auto terrain = build(16, 16, Pixels(256, 128), 2, Vector(32, 10, 32));
    ASSERT_EQ(terrain->getSegments().size(), 4u);
    for (const auto& segment : terrain->getSegments()) {
        const TriangleCorners corners(*segment);
        for (int i = 0; i < 3 * segment->getTriangleCount(); ++i) {
            const float* n = corners.normals.data() + 3 * i;
            ASSERT_FLOAT_EQ(n[0], 0);
            ASSERT_FLOAT_EQ(n[1], 1);
            ASSERT_FLOAT_EQ(n[2], 0);
            ASSERT_FLOAT_EQ(corners.positions[3 * i + 1], static_cast<float>(128 / 255.0 * 10));
        }
    }
}

TEST_F(TerrainTest, SlopeNormalsAverageTheNeighbouringFaces) {
    // Height rises by one unit per column: every face normal is (-1, 1, 0) / sqrt 2.
    auto terrain = build(8, 8, heightmap(8, 8, [](int c, int) { return 10 * c; }), 1, Vector(8, 25.5, 8));
    MeshNode& segment = *terrain->getSegments()[0];
    const TriangleCorners corners(segment);
    for (int i = 0; i < 3 * segment.getTriangleCount(); ++i) {
        const float* n = corners.normals.data() + 3 * i;
        ASSERT_NEAR(n[0], -std::sqrt(0.5), 1e-6);
        ASSERT_NEAR(n[1], std::sqrt(0.5), 1e-6);
        ASSERT_NEAR(n[2], 0, 1e-6);
    }
}

TEST_F(TerrainTest, BlackIsZeroAndWhiteIsScaleHeightAboveTheOffset) {
    auto terrain = build(8, 8, heightmap(8, 8, [](int c, int r) { return (c + r) % 2 ? 255 : 0; }), 2,
                         Vector(16, 7, 16), Vector(10, -5, 20));
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            double x = 10 + c * 2.0 - 8, z = 20 + r * 2.0 - 8;
            ASSERT_NEAR(terrain->heightAt(x, z), (c + r) % 2 ? 2.0 : -5.0, 1e-5) << c << ", " << r;
        }
}

TEST_F(TerrainTest, PictureTopLiesAtPlusZAndItsTilesNumberFromTheTop) {
    // Written top row first, as any tool writes pictures: the top row is white.
    Pixels pixels(8 * 8, 0);
    for (int c = 0; c < 8; ++c) pixels[c] = 255;
    auto terrain = build(8, 8, pixels, 2, Vector(8, 1, 8));
    EXPECT_NEAR(terrain->heightAt(0, 3), 1.0, 1e-6) << "last row, +z edge";
    EXPECT_NEAR(terrain->heightAt(0, -4), 0.0, 1e-6);
    // The segments of the +z band take the tiles of the top band of the picture.
    EXPECT_EQ(terrain->getSegments()[2]->getTexture()->getFileName(), dir + "/ground_0_0.jpg");
    EXPECT_EQ(terrain->getSegments()[1]->getTexture()->getFileName(), dir + "/ground_1_1.jpg");
}

TEST_F(TerrainTest, HeightAtInterpolatesOnTheChosenTriangle) {
    // On a plane every triangle gives the plane's height, at vertices and between them.
    auto plane = build(32, 32, heightmap(32, 32, [](int c, int r) { return 3 * c + 2 * r; }), 4,
                       Vector(64, 255, 32), Vector(5, 1, -3));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> gx(0, 31), gz(0, 31);
    for (int k = 0; k < 2000; ++k) {
        double x = gx(random), z = gz(random);
        if (k < 32) x = k, z = 31 - k;  // exactly on grid vertices
        double worldX = 5 + x * 2 - 32, worldZ = -3 + z - 16;
        ASSERT_NEAR(plane->heightAt(worldX, worldZ), 1 + 3 * x + 2 * z, 1e-3) << x << ", " << z;
    }

    // One raised corner C of cell (2, 2): only T1 = (A, B, C) carries it, and the
    // triangle is chosen by the offset inside the cell.
    auto bump = build(8, 8, heightmap(8, 8, [](int c, int r) { return c == 3 && r == 2 ? 255 : 0; }), 2,
                      Vector(8, 4, 8));
    auto at = [&](double fx, double fz) { return bump->heightAt(-4 + 2 + fx, -4 + 2 + fz); };
    EXPECT_NEAR(at(1, 0), 4, 1e-6);
    EXPECT_NEAR(at(0.75, 0.25), 2, 1e-6);
    EXPECT_NEAR(at(0.5, 0.5), 0, 1e-6) << "the diagonal A-B";
    EXPECT_NEAR(at(0.25, 0.75), 0, 1e-6) << "T2 does not touch C";
    EXPECT_NEAR(at(0.9, 0.1), 3.2, 1e-6);
}

TEST_F(TerrainTest, HeightAtOutsideAnswersTheNearestEdge) {
    auto terrain = build(16, 16, heightmap(16, 16, [](int c, int r) { return 10 * c + 5 * r; }), 4,
                         Vector(16, 255, 16));
    // The covered grid runs from -8 to +7 on both axes.
    EXPECT_NEAR(terrain->heightAt(-100, 0.5), terrain->heightAt(-8, 0.5), 1e-9);
    EXPECT_NEAR(terrain->heightAt(100, 0.5), terrain->heightAt(7, 0.5), 1e-9);
    EXPECT_NEAR(terrain->heightAt(2.5, 50), terrain->heightAt(2.5, 7), 1e-9);
    EXPECT_NEAR(terrain->heightAt(1e9, -1e9), 10 * 15, 1e-6);
}

TEST_F(TerrainTest, WidthNotAMultipleOfTheSegmentsLeavesTheLastColumnsOut) {
    auto terrain = build(10, 11, heightmap(10, 11, [](int c, int) { return c; }), 3, Vector(10, 255, 11));
    ASSERT_EQ(terrain->getSegments().size(), 9u);
    EXPECT_EQ(terrain->getSegments()[2]->getTriangleCount(), 2 * 2 * 3);
    Extent e = extentOf(*terrain);
    EXPECT_FLOAT_EQ(e.max[0], 8 - 5.0f) << "columns 9 is in no segment";
    EXPECT_FLOAT_EQ(e.max[2], 8 - 5.5f) << "rows 9 and 10 are in no segment";
    EXPECT_FLOAT_EQ(e.max[1], 8);
}

// The sky is left out where the ground surely hides it: the ground's
// rectangle must be the one the segments draw, and its lowest height the
// lowest they reach; a terrain that built nothing covers nothing.
TEST_F(TerrainTest, GroundCoverIsTheDrawnRectangleAndItsLowestHeight) {
    auto terrain = build(10, 11, heightmap(10, 11, [](int c, int r) { return 20 + c + r; }), 3, Vector(10, 255, 11),
                         Vector(100, -5, 50));
    const Extent e = extentOf(*terrain);  // the segments' own corners, round the offset
    const GroundCover cover = terrain->groundCover();
    EXPECT_FLOAT_EQ(cover.minX, 100 + e.min[0]);
    EXPECT_FLOAT_EQ(cover.maxX, 100 + e.max[0]);
    EXPECT_FLOAT_EQ(cover.minZ, 50 + e.min[2]);
    EXPECT_FLOAT_EQ(cover.maxZ, 50 + e.max[2]);
    EXPECT_FLOAT_EQ(cover.lowest, -5 + 20) << "the lowest pixel, 20, above the offset";
    EXPECT_FALSE(cover.heightAt) << "left to the owner";

    auto refused = build(16, 8, Pixels(128, 50), 0, Vector(16, 1, 8));
    const GroundCover none = refused->groundCover();
    EXPECT_GE(none.minX, none.maxX);
}

TEST_F(TerrainTest, SegmentCountsThatDoNotFitAreRefused) {
    for (int n : {0, -1, 17}) {
        std::string console;
        auto terrain = build(16, 8, Pixels(128, 50), n, Vector(16, 1, 8), Vector(0, 3, 0), &console);
        EXPECT_NE(console.find("\n TerrainNode::load() - test terrain: ERROR! a 16x8 heightmap cannot be cut into " +
                               std::to_string(n) + "x" + std::to_string(n) + " segments"),
                  std::string::npos)
            << console;
        EXPECT_TRUE(terrain->getSegments().empty());
        EXPECT_TRUE(terrain->getChildren().empty());
        // The tiles come before the heightmap: 17 x 17 were tried, none for a count below 1.
        EXPECT_EQ(Texture2D::registeredTextures().size(), n > 0 ? 17u * 17u : 0u);
        EXPECT_EQ(terrain->heightAt(0, 0), 3);
        Texture2D::clearTextures();
    }
    // More than any terrain may have is refused before a tile is tried.
    std::string refused;
    auto absurd = build(16, 8, Pixels(128, 50), TerrainNode::MAX_SEGMENTS + 1, Vector(16, 1, 8), Vector(0, 0, 0), &refused);
    EXPECT_NE(refused.find("ERROR! 257x257 segments are more than the 256x256 a terrain may have"), std::string::npos)
        << refused;
    EXPECT_EQ(refused.find("preparing terrain textures"), std::string::npos);
    EXPECT_TRUE(absurd->getSegments().empty());
    std::string console;
    auto tooMany = build(16, 8, Pixels(128, 50), 9, Vector(16, 1, 8), Vector(0, 0, 0), &console);
    EXPECT_TRUE(tooMany->getSegments().empty()) << "more segments than rows";
    auto most = build(16, 8, Pixels(128, 50), 8, Vector(16, 1, 8));
    EXPECT_EQ(most->getSegments().size(), 64u) << "one row per segment still works";
    EXPECT_NEAR(most->heightAt(0, 0), 50 / 255.0, 1e-6);
}

TEST_F(TerrainTest, MissingHeightmapOrTilesAreReported) {
    auto terrain = std::make_shared<TerrainNode>("test terrain");
    testing::internal::CaptureStdout();
    terrain->load(dir.c_str(), "none.png", "ground", 2, Vector(8, 1, 8));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n   loading heightmap: " + dir + "/none.png\n ERROR!: Error while loading image!"),
              std::string::npos)
        << out;
    EXPECT_TRUE(terrain->getSegments().empty());

    std::string console;
    auto untiled = build(8, 8, Pixels(64, 0), 2, Vector(8, 1, 8), Vector(0, 0, 0), &console);
    EXPECT_NE(console.find("\n Texture2D.loadImage(" + dir + "/ground_1_0.jpg): Error while loading image!"),
              std::string::npos);
    EXPECT_EQ(untiled->getSegments().size(), 4u) << "a missing tile leaves its segment untextured";
}

TEST_F(TerrainTest, TilesAppearWhereTheirPartOfThePictureLies) {
    // Tile a_b is the a-th column band from the left and the b-th row band from
    // the top of the picture; tile 0_0 is red at its top and yellow below.
    Pixels topLeft;
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 4; ++c)
            topLeft.insert(topLeft.end(), {255, static_cast<unsigned char>(row < 2 ? 0 : 255), 0});
    AssetFiles::writeTopDownRgbPicture(dir + "/ground_0_0.jpg", 4, 4, topLeft);
    AssetFiles::writeTopDownRgbPicture(dir + "/ground_1_0.jpg", 4, 4, uniformTile(0, 255, 0));
    AssetFiles::writeTopDownRgbPicture(dir + "/ground_0_1.jpg", 4, 4, uniformTile(0, 0, 255));
    AssetFiles::writeTopDownRgbPicture(dir + "/ground_1_1.jpg", 4, 4, uniformTile(255, 255, 255));
    auto terrain = build(8, 8, Pixels(64, 0), 2, Vector(8, 1, 8));
    terrain->finalize();

    // Seen from above with +x to the right and +z down the screen.
    ScenegraphNode::useVisibilityCulling = false;
    ScenegraphNode::useAlphaBlending = false;
    ScenegraphNode::modifyLighting = false;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -4, 4, 1, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 10, 0, 0, 0, 0, 0, 0, -1);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor3f(1, 1, 1);
    Texture::enable2DTextures();
    terrain->paint();
    Texture::disable2DTextures();
    glFinish();

    auto pixelAt = [](double x, double z) {
        return GlTestWindow::readPixel(static_cast<int>((x + 4) * 32), static_cast<int>((4 - z) * 32));
    };
    GlTestWindow::Pixel blue = pixelAt(-2, -2), white = pixelAt(1.5, -2), green = pixelAt(1.5, 1.5);
    EXPECT_TRUE(blue.b > 200 && blue.r < 60) << "bottom left of the picture at -x, -z";
    EXPECT_TRUE(white.r > 200 && white.g > 200 && white.b > 200);
    EXPECT_TRUE(green.g > 200 && green.r < 60 && green.b < 60);
    GlTestWindow::Pixel top = pixelAt(-2, 2.6), below = pixelAt(-2, 0.4);
    EXPECT_TRUE(top.r > 200 && top.g < 60) << "the top of a tile lies toward +z, like the top of the map";
    EXPECT_TRUE(below.r > 200 && below.g > 200);
}

TEST_F(TerrainTest, AssetKitTerrainLoadsWithAllItsTiles) {
    std::string dataDir = AssetFiles::gameDataDir("terrain");
    if (dataDir.empty()) GTEST_SKIP() << "the game data has not been generated";
    TerrainNode terrain("terrain");
    terrain.setTranslation(0, -5, 0);
    testing::internal::CaptureStdout();
    terrain.load(dataDir.c_str(), "heightmap.png", "terrain", 8, Vector(600, 5, 600));
    Texture::checkDevILErrors();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
    ASSERT_EQ(terrain.getSegments().size(), 64u);
    for (const auto& segment : terrain.getSegments()) {
        GLint width = 0;
        glBindTexture(GL_TEXTURE_2D, segment->getTexture()->getTextureName());
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_GT(width, 0) << segment->getNodeDescription();
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    for (double x : {-250.0, 0.0, 250.0})
        for (double z : {-250.0, 0.0, 250.0}) {
            double h = terrain.heightAt(x, z);
            EXPECT_TRUE(h >= -5 && h <= 0) << x << ", " << z << ": " << h;
        }
}

namespace {
// What NewtonWorldForEachBodyInAABBDo reports, body by body (its callbacks
// carry no user data).
struct BodyFaces {
    NewtonBody* body;
    int faces = 0;
    Extent extent;
};
std::vector<BodyFaces> bodiesFound;

void collectBodies(NewtonWorld* world) {
    bodiesFound.clear();
    const float p0[3] = {-1000, -1000, -1000}, p1[3] = {1000, 1000, 1000};
    NewtonWorldForEachBodyInAABBDo(world, p0, p1, [](NewtonBody* body) {
        bodiesFound.push_back({body, 0, Extent()});
        NewtonBodyForEachPolygonDo(body, [](NewtonBody*, int count, const float* face, int) {
            ++bodiesFound.back().faces;
            for (int i = 0; i < count; ++i) bodiesFound.back().extent.add(face + 3 * i);
        });
    });
}
}  // namespace

TEST_F(TerrainTest, LoadPutsWallsAroundTheTerrainAndItsBodyIsATreeOfAllSegments) {
    Physics::reset();
    auto terrain = build(8, 8, heightmap(8, 8, [](int c, int) { return 30 * c; }), 2, Vector(600, 5, 400),
                         Vector(10, -5, 20));
    terrain->physicAllocate();
    collectBodies(Physics::newtonWorld);
    ASSERT_EQ(bodiesFound.size(), 5u);

    // The tree holds every segment triangle, placed by the terrain's offset.
    int triangles = 0;
    for (const auto& segment : terrain->getSegments()) triangles += segment->getTriangleCount();
    const BodyFaces* tree = nullptr;
    for (const BodyFaces& found : bodiesFound)
        if (NewtonBodyGetUserData(found.body) == terrain.get()) tree = &found;
    ASSERT_NE(tree, nullptr) << "the terrain has no body";
    EXPECT_EQ(tree->faces, triangles);
    EXPECT_NEAR(tree->extent.min[0], 10 - 300, 1e-3);
    EXPECT_NEAR(tree->extent.max[0], 10 - 300 + 7 * 600.0 / 8, 1e-3) << "the grid ends one step short of the edge";
    EXPECT_NEAR(tree->extent.min[1], -5, 1e-4);
    EXPECT_NEAR(tree->extent.max[1], -5 + 5 * 210 / 255.0, 1e-4);

    // Walls by centre and size, in the order they are made.
    const float expected[4][6] = {{10 - 297, -5, 20, 1, 100, 400},
                                  {10 + 297, -5, 20, 1, 100, 400},
                                  {10, -5, 20 - 198, 600, 100, 1},
                                  {10, -5, 20 + 198, 600, 100, 1}};
    std::vector<bool> found(4, false);
    for (const BodyFaces& body : bodiesFound)
        for (int k = 0; k < 4; ++k) {
            bool match = true;
            for (int axis = 0; axis < 3; ++axis) {
                const Extent& e = body.extent;
                match &= std::fabs((e.min[axis] + e.max[axis]) / 2 - expected[k][axis]) < 0.01f;
                match &= std::fabs(e.max[axis] - e.min[axis] - expected[k][3 + axis]) < 0.01f;
            }
            if (match) found[k] = true;
        }
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(found[k]) << "wall " << k + 1;
}

TEST_F(TerrainTest, NothingIsMadeInTheWorldForARefusedTerrain) {
    Physics::reset();
    build(8, 8, Pixels(64, 0), 9, Vector(600, 5, 400));
    collectBodies(Physics::newtonWorld);
    EXPECT_TRUE(bodiesFound.empty());
}

namespace {

// The whole window as RGBA bytes.
std::vector<unsigned char> windowPixels() {
    glFinish();
    std::vector<unsigned char> rgba(static_cast<std::size_t>(GlTestWindow::width()) * GlTestWindow::height() * 4);
    glReadPixels(0, 0, GlTestWindow::width(), GlTestWindow::height(), GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// The terrain lit by one white light from above in the view set up before,
// with its textures; the window's pixels afterwards.
std::vector<unsigned char> paintLit(TerrainNode& terrain) {
    const float light[4] = {0.3f, 1, 0.2f, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    Texture::enable2DTextures();
    terrain.paint();
    Texture::disable2DTextures();
    glDisable(GL_LIGHTING);
    return windowPixels();
}

using AssetFiles::differingPixels;

}  // namespace

// The segments hand their arrays to their display lists and get them back
// from the terrain's grid whenever another path needs them (F6 draw modes,
// F7 display lists off and on, a list compiled again): every path paints the
// same lit, textured hills, pixel for pixel.
TEST_F(TerrainTest, EveryDrawPathPaintsTheSameTerrainOnceTheDisplayListsHoldTheGeometry) {
    writeTiles(2);
    auto terrain = build(24, 24, heightmap(24, 24, [](int c, int r) { return (c * c * 7 + r * 31 + c * r * 5) % 256; }),
                         2, Vector(8, 1.5, 8));
    terrain->finalize();
    const auto& segments = terrain->getSegments();
    ASSERT_EQ(segments.size(), 4u);
    for (const auto& segment : segments) {
        EXPECT_TRUE(segment->isUsingDisplayList());
        EXPECT_FALSE(segment->hasArrays()) << "the display list holds the geometry";
        EXPECT_EQ(segment->storageBytes(), 0u);
        EXPECT_GT(segment->getBoundingBox()->size[0], 3.0f) << "finalize read the arrays back";
    }

    const int savedMode = ScenegraphNode::drawMode;
    const bool savedLists = ScenegraphNode::displayListsEnabled;
    ScenegraphNode::useVisibilityCulling = false;
    ScenegraphNode::useAlphaBlending = false;
    ScenegraphNode::modifyLighting = false;
    auto paint = [&] {
        glClearColor(0.1f, 0.2f, 0.3f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, 1, 0.5, 50);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(-3, 4, 6, 0, 0, 0, 0, 1, 0);
        return paintLit(*terrain);
    };

    ScenegraphNode::drawMode = 1;
    ScenegraphNode::displayListsEnabled = true;
    const std::vector<unsigned char> reference = paint();
    const std::vector<unsigned char> background = [&] {
        ScenegraphNode::drawMode = 3;  // no high-detail geometry
        return paint();
    }();
    EXPECT_GT(differingPixels(reference, background), 256 * 256 / 3) << "the terrain fills much of the view";

    ScenegraphNode::displayListsEnabled = false;
    for (int mode : {0, 1, 2, 1, 0}) {
        ScenegraphNode::drawMode = mode;
        EXPECT_EQ(differingPixels(paint(), reference), 0) << "draw mode " << mode << " without display lists";
        for (const auto& segment : segments) EXPECT_EQ(segment->isVboReady(), mode == 2);
    }
    for (const auto& segment : segments) EXPECT_TRUE(segment->hasArrays()) << "immediate mode keeps them";

    ScenegraphNode::displayListsEnabled = true;
    EXPECT_EQ(differingPixels(paint(), reference), 0) << "the lists compiled at load";
    for (int mode : {2, 0}) {
        ScenegraphNode::drawMode = mode;
        for (const auto& segment : segments) {
            ASSERT_TRUE(segment->refreshDisplayList());
            EXPECT_FALSE(segment->hasArrays()) << "a new list takes the arrays again";
        }
        EXPECT_EQ(differingPixels(paint(), reference), 0) << "lists compiled in draw mode " << mode;
    }

    // The VBO path uploads from restored arrays and gives them up again.
    ScenegraphNode::displayListsEnabled = false;
    ScenegraphNode::drawMode = 2;
    EXPECT_EQ(differingPixels(paint(), reference), 0) << "vertex buffers from restored arrays";
    for (const auto& segment : segments) {
        EXPECT_TRUE(segment->isVboReady());
        EXPECT_FALSE(segment->hasArrays());
    }
    ScenegraphNode::drawMode = savedMode;
    ScenegraphNode::displayListsEnabled = savedLists;
}

// Every corner of every segment carries exactly the normal the grid gives for
// its vertex on its own, also along the borders of the map and between
// segments, on a rough map of odd size.
TEST(TerrainGrid, SegmentNormalsAreTheVertexNormalsToTheBit) {
    std::mt19937 random(7);
    Pixels pixels(37 * 29);
    for (unsigned char& p : pixels) p = static_cast<unsigned char>(random() % 256);
    const TerrainGrid grid(pixels, 37, 29, Vector(50, 12, 40));
    const std::vector<Vector> faces = grid.faceNormals();
    ASSERT_EQ(faces.size(), 2u * 36 * 28);
    const std::vector<Vector> gridNormals = grid.vertexNormals(faces);
    ASSERT_EQ(gridNormals.size(), 37u * 29);
    const int n = 3;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            // From the segment's own block (a rebuild), and from the whole
            // grid's tables (the load).
            MeshNode segment("segment"), loaded("segment");
            grid.fillSegment(segment, i, j, n);
            grid.fillSegment(loaded, i, j, n, &gridNormals);
            const int columns = grid.segmentQuadsX(j, n) + 1, rows = grid.segmentQuadsZ(i, n) + 1;
            for (const MeshNode* mesh : {&segment, &loaded}) {
                const float* normals = mesh->getCornerNormals().get();
                for (int q = 0; q < rows; ++q)
                    for (int p = 0; p < columns; ++p) {
                        const Vector expected = grid.vertexNormal(i * (29 / n) + q, j * (37 / n) + p);
                        const float* got = normals + 3 * (q * columns + p);
                        ASSERT_EQ(got[0], static_cast<float>(expected.x)) << i << " " << j << " " << q << " " << p;
                        ASSERT_EQ(got[1], static_cast<float>(expected.y));
                        ASSERT_EQ(got[2], static_cast<float>(expected.z));
                    }
            }
        }
}

// Neighbouring segments at different levels of detail meet without gaps: on
// rough hills, with every segment at another level than the ones beside it,
// a low view across the terrain shows no background anywhere, in every draw
// path, while the picture differs from the full grid's (the levels do differ).
TEST_F(TerrainTest, NeighboursAtDifferentLevelsLeaveNoGapInTheGround) {
    writeTiles(4);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-60, 60);
    auto terrain = build(128, 128, heightmap(128, 128, [&](int c, int r) {
                             const double hills = 120 + 70 * std::sin(c / 6.0) * std::cos(r / 9.0);
                             return std::clamp(static_cast<int>(hills) + noise(random), 0, 255);
                         }),
                         4, Vector(128, 6, 128));
    terrain->finalize();
    const auto& segments = terrain->getSegments();
    ASSERT_EQ(segments.size(), 16u);
    // Segment (i, j) is the j-th x band of the i-th z band: levels 0 1 2 3 along
    // a z column, two apart along a row.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) segments[static_cast<std::size_t>(4 * i + j)]->forcedLevel = (i + 2 * j) % 4;
    for (const auto& segment : segments) EXPECT_GT(segment->getErrors().back(), 1.0f) << "rough hills";

    const int savedMode = ScenegraphNode::drawMode;
    const bool savedLists = ScenegraphNode::displayListsEnabled, savedDetail = ScenegraphNode::detailSavings;
    ScenegraphNode::useVisibilityCulling = false;
    ScenegraphNode::useAlphaBlending = false;
    ScenegraphNode::modifyLighting = false;
    auto paint = [&] {
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(30, 1, 0.5, 300);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // 30 degrees down from 30 units up: the top edge of the view meets the
        // ground 15 degrees down, 112 units ahead, inside the terrain.
        gluLookAt(0, 30, 80, 0, 30 - std::tan(30 * 3.14159265 / 180), 79, 0, 1, 0);
        return paintLit(*terrain);
    };
    auto background = [](const std::vector<unsigned char>& rgba) {
        int count = 0;
        for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
            count += rgba[i] > 250 && rgba[i + 1] < 5 && rgba[i + 2] > 250;
        return count;
    };

    ScenegraphNode::drawMode = 1;
    ScenegraphNode::displayListsEnabled = true;
    ScenegraphNode::detailSavings = false;
    const std::vector<unsigned char> full = paint();
    ASSERT_EQ(background(full), 0) << "the view lies on the ground everywhere";
    ScenegraphNode::detailSavings = true;
    struct Path {
        bool lists;
        int mode;
    };
    for (Path path : {Path{true, 1}, Path{false, 0}, Path{false, 1}, Path{false, 2}, Path{true, 2}}) {
        ScenegraphNode::displayListsEnabled = path.lists;
        ScenegraphNode::drawMode = path.mode;
        if (path.lists) {
            for (const auto& segment : segments) ASSERT_TRUE(segment->refreshDisplayList());
        }
        const std::vector<unsigned char> stitched = paint();
        EXPECT_EQ(background(stitched), 0) << "draw mode " << path.mode << (path.lists ? " in lists" : "");
        EXPECT_GT(differingPixels(stitched, full), 256 * 256 / 100) << "the levels change the hills";
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                const auto& segment = segments[static_cast<std::size_t>(4 * i + j)];
                EXPECT_EQ(segment->getDrawnLevel(), (i + 2 * j) % 4);
                EXPECT_EQ(segment->drawnTriangleCount(), segment->getLevels().triangleCount((i + 2 * j) % 4));
            }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ScenegraphNode::drawMode = savedMode;
    ScenegraphNode::displayListsEnabled = savedLists;
    ScenegraphNode::detailSavings = savedDetail;
}
