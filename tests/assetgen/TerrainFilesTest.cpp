// The heightmap and its 64 tiles, loaded by the game's own TerrainNode
// with the level's settings: flat where the game happens, gentle hills
// elsewhere, and tiles that lie on the segments the loader gives them, the
// right way round, joining without seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "AssetKit.h"
#include "assets/TerrainNode.h"
#include "assets/Texture2D.h"
#include "support/GlTestWindow.h"
#include "support/TriangleCorners.h"

namespace {

const int SEGMENTS = 8;
const double EXTENT = 600;

class TerrainFiles : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        if (!terrain) {
            static const Texture2D startsDevIL(false);  // as the game: textures exist before the terrain
            terrain = std::make_unique<TerrainNode>("Terrain");
            terrain->load((kit::kitFolder() / "terrain").string().c_str(), "heightmap.png", "terrain", SEGMENTS,
                          Vector(EXTENT, 5, EXTENT));
        }
        ASSERT_EQ(terrain->getSegments().size(), static_cast<size_t>(SEGMENTS * SEGMENTS));
    }
    static void TearDownTestSuite() {
        corners.clear();
        terrain.reset();
        tiles.clear();
        Texture2D::clearTextures();
    }

    // The tile texel the game draws at a world position: the segment's
    // triangle below the point gives the texture coordinates, the segment's
    // texture names the tile file, and t = 0 is the tile's bottom row.
    static const uint8_t* groundColour(double x, double z) {
        int j = std::clamp(static_cast<int>((x + EXTENT / 2) / (EXTENT / SEGMENTS)), 0, SEGMENTS - 1);
        int i = std::clamp(static_cast<int>((z + EXTENT / 2) / (EXTENT / SEGMENTS)), 0, SEGMENTS - 1);
        MeshNode& seg = *terrain->getSegments()[i * SEGMENTS + j];
        const TriangleCorners& corners = cornersOf(seg);
        const float* v = corners.positions.data();
        const float* uv = corners.texCoords.data();
        for (int t = 0; t < seg.getTriangleCount(); ++t) {
            const float *a = v + 9 * t, *b = a + 3, *c = a + 6;
            double d = (b[2] - c[2]) * (a[0] - c[0]) + (c[0] - b[0]) * (a[2] - c[2]);
            double wa = ((b[2] - c[2]) * (x - c[0]) + (c[0] - b[0]) * (z - c[2])) / d;
            double wb = ((c[2] - a[2]) * (x - c[0]) + (a[0] - c[0]) * (z - c[2])) / d;
            double wc = 1 - wa - wb;
            if (wa < -1e-6 || wb < -1e-6 || wc < -1e-6) continue;
            const float* tc = uv + 6 * t;
            double s = wa * tc[0] + wb * tc[2] + wc * tc[4], tt = wa * tc[1] + wb * tc[3] + wc * tc[5];
            const kit::Picture& tile = picture(seg.getTexture()->getFileName());
            int col = static_cast<int>(std::lround(std::clamp(s, 0.0, 1.0) * (tile.width - 1)));
            int row = static_cast<int>(std::lround((1 - std::clamp(tt, 0.0, 1.0)) * (tile.height - 1)));
            return tile.at(col, row);
        }
        ADD_FAILURE() << "no triangle below " << x << ", " << z;
        static const uint8_t none[4] = {0, 0, 0, 0};
        return none;
    }

    // A segment's corners are read once: expanding them gives the segment its
    // arrays back each time, thousands of times per test otherwise.
    static const TriangleCorners& cornersOf(MeshNode& segment) {
        auto it = corners.find(&segment);
        if (it == corners.end()) it = corners.emplace(&segment, TriangleCorners(segment)).first;
        return it->second;
    }

    static const kit::Picture& picture(const std::string& path) {
        auto it = tiles.find(path);
        if (it == tiles.end()) {
            it = tiles.emplace(path, kit::Picture()).first;
            EXPECT_TRUE(kit::loadPicture(path, it->second)) << path;
        }
        return it->second;
    }

    static std::unique_ptr<TerrainNode> terrain;
    static std::map<std::string, kit::Picture> tiles;
    static std::map<const MeshNode*, TriangleCorners> corners;
};

std::unique_ptr<TerrainNode> TerrainFiles::terrain;
std::map<std::string, kit::Picture> TerrainFiles::tiles;
std::map<const MeshNode*, TriangleCorners> TerrainFiles::corners;

bool isDark(const uint8_t* c) { return c[0] < 70 && c[1] < 70 && c[2] < 70; }
bool isWhite(const uint8_t* c) { return c[0] > 190 && c[1] > 190 && c[2] > 180; }
bool isGreen(const uint8_t* c) { return c[1] > c[0] + 10 && c[1] > c[2] + 10; }

TEST_F(TerrainFiles, GroundIsFlatWhereTheGameHappensAndGentleElsewhere) {
    ASSERT_EQ(terrain->getMapWidth(), 256);
    ASSERT_EQ(terrain->getMapHeight(), 256);
    struct Place {
        double x, z, radius;
    };
    const double level = 5.0 / 255;
    for (const Place& p : {Place{0, 0, 30}, Place{200, 0, 12}, Place{-200, 0, 12}, Place{0, 200, 12}, Place{0, -200, 12}}) {
        double lo = 1e9, hi = -1e9;
        for (double dz = -p.radius; dz <= p.radius; dz += 1)
            for (double dx = -p.radius; dx <= p.radius; dx += 1) {
                if (dx * dx + dz * dz > p.radius * p.radius) continue;
                double h = terrain->heightAt(p.x + dx, p.z + dz);
                lo = std::min(lo, h);
                hi = std::max(hi, h);
            }
        EXPECT_LE(hi - lo, level + 1e-6) << "not flat round (" << p.x << ", " << p.z << ")";
    }
    const double step = EXTENT / 256;
    double lowest = 1e9, highest = -1e9, steepest = 0;
    for (double z = -295; z < 295; z += step)
        for (double x = -295; x < 295; x += step) {
            double h = terrain->heightAt(x, z);
            lowest = std::min(lowest, h);
            highest = std::max(highest, h);
            steepest = std::max({steepest, std::fabs(terrain->heightAt(x + step, z) - h),
                                 std::fabs(terrain->heightAt(x, z + step) - h)});
        }
    EXPECT_GT(highest - lowest, 2.5) << "no hills";
    EXPECT_LE(steepest / step, 0.11) << "too steep for gentle hills";
}

// Only the north road (towards -z) has a chequered start line, just
// outside the start circle: it shows whether each tile lies on its
// segment the right way round.
TEST_F(TerrainFiles, TilesLieOnTheirSegmentsTheRightWayRound) {
    int dark = 0, white = 0, mirroredDark = 0;
    for (double x = -2.5; x <= 2.5; x += 0.2)
        for (double z = 30.0; z <= 32.0; z += 0.2) {
            dark += isDark(groundColour(x, -z));
            white += isWhite(groundColour(x, -z));
            mirroredDark += isDark(groundColour(x, z));
        }
    EXPECT_GT(dark, 80);
    EXPECT_GT(white, 80);
    EXPECT_LT(mirroredDark, 5);
    EXPECT_TRUE(isGreen(groundColour(100, 60)));
    for (auto [x, z] : {std::pair{200.0, 5.0}, {-200.0, -5.0}, {5.0, 200.0}, {-5.0, -200.0}})
        EXPECT_FALSE(isGreen(groundColour(x, z))) << "gravel round the sign at " << x << ", " << z;
}

TEST_F(TerrainFiles, NeighbouringSegmentsShowTheSameColourAtTheirBorder) {
    double worst = 0;
    const double size = EXTENT / SEGMENTS;
    for (int b = 1; b < SEGMENTS; ++b)
        for (double along = -290; along < 290; along += 3.7) {
            double border = -EXTENT / 2 + b * size;
            const uint8_t *w = groundColour(border - 0.05, along), *e = groundColour(border + 0.05, along);
            const uint8_t *n = groundColour(along, border - 0.05), *s = groundColour(along, border + 0.05);
            for (int k = 0; k < 3; ++k) worst += std::abs(w[k] - e[k]) + std::abs(n[k] - s[k]);
        }
    const double samples = (SEGMENTS - 1) * (580 / 3.7) * 6;
    EXPECT_LT(worst / samples, 8.0) << "mean colour step across a segment border";
}

// The tiles carry relief shading lit from the north: slopes that rise
// towards +z are brighter. Brightness follows the loaded terrain's slope;
// it would not if heightmap and tiles disagreed about north and south.
TEST_F(TerrainFiles, TilesShadeTheHillsOfTheHeightmap) {
    auto brightness = [](double x, double z) {
        double sum = 0;
        for (int dz = -2; dz <= 2; ++dz)
            for (int dx = -2; dx <= 2; ++dx) {
                const uint8_t* c = groundColour(x + dx * 0.7, z + dz * 0.7);
                sum += c[0] + c[1] + c[2];
            }
        return sum;
    };
    auto correlation = [&](bool mirrored) {
        double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
        int n = 0;
        // Only the free hills: inside the rim and away from the roads along
        // the axes, which are laid out alike on all sides.
        for (double z = -190; z <= 190; z += 6)
            for (double x = -190; x <= 190; x += 6) {
                if (std::fabs(x) < 40 || std::fabs(z) < 40) continue;
                double zz = mirrored ? -z : z;
                double slope = (terrain->heightAt(x, zz + 4) - terrain->heightAt(x, zz - 4)) * (mirrored ? -1 : 1);
                double b = brightness(x, z);
                sa += slope, sb += b, saa += slope * slope, sbb += b * b, sab += slope * b, ++n;
            }
        double cov = sab / n - sa / n * sb / n;
        return cov / std::sqrt((saa / n - sa / n * sa / n) * (sbb / n - sb / n * sb / n));
    };
    double straight = correlation(false), mirrored = correlation(true);
    EXPECT_GT(straight, 0.2) << "mirrored: " << mirrored;
    EXPECT_GT(straight, mirrored + 0.2) << "straight: " << straight;
}

// The minimap's picture is the tiles' ground seen from above with north
// (-z) at its top and east (+x) to the right: its brightness follows the
// tiles' brightness round the same places, and not the mirrored places'; the
// roads show as light bands (each bends to its own side, so a mirrored
// picture puts them elsewhere).
TEST_F(TerrainFiles, TheMinimapIsTheTilesGroundNorthUpWithLightRoads) {
    kit::Picture map;
    ASSERT_TRUE(kit::loadPicture(kit::kitFolder() / "terrain" / "minimap.jpg", map));
    // One pixel for each pixel of the HUD's map at 800 x 600 (3.125 units).
    ASSERT_EQ(map.width, 192);
    ASSERT_EQ(map.height, 192);
    auto mapBrightness = [&](double x, double z) {
        const int col = std::clamp(static_cast<int>((x + EXTENT / 2) / EXTENT * map.width), 0, map.width - 1);
        const int row = std::clamp(static_cast<int>((z + EXTENT / 2) / EXTENT * map.height), 0, map.height - 1);
        const uint8_t* c = map.at(col, row);
        return c[0] + c[1] + c[2];
    };
    // The tiles round a map pixel's place (3.125 units a side).
    auto tileBrightness = [&](double x, double z) {
        double sum = 0;
        for (double dz = -1.0; dz <= 1.01; dz += 1.0)
            for (double dx = -1.0; dx <= 1.01; dx += 1.0) {
                const uint8_t* c = groundColour(x + dx, z + dz);
                sum += c[0] + c[1] + c[2];
            }
        return sum / 9;
    };
    auto correlation = [&](double flipX, double flipZ) {
        double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
        int n = 0;
        for (double z = -250; z <= 250; z += 13)
            for (double x = -250; x <= 250; x += 13) {
                const double a = mapBrightness(x, z), b = tileBrightness(flipX * x, flipZ * z);
                sa += a, sb += b, saa += a * a, sbb += b * b, sab += a * b, ++n;
            }
        const double cov = sab / n - sa / n * sb / n;
        return cov / std::sqrt((saa / n - sa / n * sa / n) * (sbb / n - sb / n * sb / n));
    };
    const double straight = correlation(1, 1);
    EXPECT_GT(straight, 0.5);
    EXPECT_LT(correlation(1, -1), straight - 0.3) << "north and south swapped";
    EXPECT_LT(correlation(-1, 1), straight - 0.3) << "east and west swapped";

    // A quarter into its bend each road lies 7 to 11 units to one side.
    struct Bend {
        double x, z, mirroredX, mirroredZ;
    };
    for (const Bend& b : {Bend{72.5, 9, 72.5, -9}, Bend{11, 72.5, -11, 72.5}, Bend{-72.5, -7, -72.5, 7},
                          Bend{-10, -72.5, 10, -72.5}}) {
        EXPECT_GT(mapBrightness(b.x, b.z), 3 * 180) << "road at " << b.x << ", " << b.z;
        EXPECT_GT(mapBrightness(b.x, b.z), mapBrightness(b.mirroredX, b.mirroredZ) + 90)
            << "no road at " << b.mirroredX << ", " << b.mirroredZ;
    }
}

}  // namespace
