// The heightmap and its 64 tiles, read as the terrain loader reads them:
// heightmap row r lies at z = r * 600/256 - 300; tile "terrain_a_b" covers
// x band a and z band 7 - b, and its texture coordinate t = 0 (the file's
// bottom row once uploaded) lies on the segment's smaller z edge.
#include <gtest/gtest.h>

#include <cmath>

#include "AssetKit.h"

namespace {

const int SEGMENTS = 8, MAP = 256, CELLS = MAP / SEGMENTS;
const float EXTENT = 600, STEP = EXTENT / MAP;

struct Terrain {
    int width = 0, height = 0;
    std::vector<uint8_t> heights;
    std::vector<kit::Picture> tiles;  // index a + 8 * b

    Terrain() {
        EXPECT_TRUE(kit::loadLuminance(kit::kitFolder() / "terrain" / "heightmap.png", width, height, heights));
        tiles.resize(SEGMENTS * SEGMENTS);
        for (int b = 0; b < SEGMENTS; ++b)
            for (int a = 0; a < SEGMENTS; ++a) {
                std::string name = "terrain_" + std::to_string(a) + "_" + std::to_string(b) + ".jpg";
                EXPECT_TRUE(kit::loadPicture(kit::kitFolder() / "terrain" / name, tiles[a + SEGMENTS * b])) << name;
            }
    }
    int pixel(int c, int r) const { return heights[static_cast<size_t>(r) * width + c]; }
    int heightAt(float x, float z) const {
        int c = std::clamp(static_cast<int>(std::lround((x + EXTENT / 2) / STEP)), 0, MAP - 1);
        int r = std::clamp(static_cast<int>(std::lround((z + EXTENT / 2) / STEP)), 0, MAP - 1);
        return pixel(c, r);
    }
    // The texel the loader's segment shows at a world position.
    const uint8_t* colourAt(float x, float z) const {
        float gx = (x + EXTENT / 2) / STEP, gz = (z + EXTENT / 2) / STEP;
        int j = std::min(static_cast<int>(gx / CELLS), SEGMENTS - 1), i = std::min(static_cast<int>(gz / CELLS), SEGMENTS - 1);
        int quadsX = j == SEGMENTS - 1 ? CELLS - 1 : CELLS, quadsZ = i == SEGMENTS - 1 ? CELLS - 1 : CELLS;
        float s = std::clamp((gx - j * CELLS) / quadsX, 0.0f, 1.0f), t = std::clamp((gz - i * CELLS) / quadsZ, 0.0f, 1.0f);
        const kit::Picture& tile = tiles[j + SEGMENTS * (SEGMENTS - 1 - i)];
        return tile.at(static_cast<int>(std::lround(s * (tile.width - 1))), static_cast<int>(std::lround((1 - t) * (tile.height - 1))));
    }
};

const Terrain& terrain() {
    static const Terrain t;
    return t;
}

TEST(TerrainFiles, HeightmapHasGentleHillsAndFlatGroundWhereTheGameHappens) {
    const Terrain& t = terrain();
    ASSERT_EQ(t.width, MAP);
    ASSERT_EQ(t.height, MAP);
    int lowest = 255, highest = 0, steepest = 0;
    for (int r = 0; r < MAP; ++r)
        for (int c = 0; c < MAP; ++c) {
            lowest = std::min(lowest, t.pixel(c, r));
            highest = std::max(highest, t.pixel(c, r));
            if (c + 1 < MAP) steepest = std::max(steepest, std::abs(t.pixel(c + 1, r) - t.pixel(c, r)));
            if (r + 1 < MAP) steepest = std::max(steepest, std::abs(t.pixel(c, r + 1) - t.pixel(c, r)));
        }
    EXPECT_GT(highest - lowest, 120) << "no hills";
    EXPECT_LE(steepest, 12) << "too steep for gentle hills (one level is 5/255 units over 2.3 units)";
    // Flat: the start area (radius 30) and round the four signs.
    struct Place {
        float x, z, radius;
    };
    for (const Place& p : {Place{0, 0, 30}, Place{200, 0, 12}, Place{-200, 0, 12}, Place{0, 200, 12}, Place{0, -200, 12}}) {
        int lo = 255, hi = 0;
        for (float dz = -p.radius; dz <= p.radius; dz += STEP)
            for (float dx = -p.radius; dx <= p.radius; dx += STEP) {
                if (dx * dx + dz * dz > p.radius * p.radius) continue;
                int h = t.heightAt(p.x + dx, p.z + dz);
                lo = std::min(lo, h);
                hi = std::max(hi, h);
            }
        EXPECT_LE(hi - lo, 1) << "not flat round (" << p.x << ", " << p.z << ")";
    }
}

bool isDark(const uint8_t* c) { return c[0] < 70 && c[1] < 70 && c[2] < 70; }
bool isWhite(const uint8_t* c) { return c[0] > 190 && c[1] > 190 && c[2] > 180; }
bool isGreen(const uint8_t* c) { return c[1] > c[0] + 10 && c[1] > c[2] + 10; }

// Only the north road (towards -z) has a chequered start line, just
// outside the start circle, so this shows whether each tile lies on the
// segment the loader gives it, the right way round.
TEST(TerrainFiles, TilesLieOnTheLoadersSegmentsTheRightWayRound) {
    const Terrain& t = terrain();
    int dark = 0, white = 0, mirroredDark = 0;
    for (float x = -2.5f; x <= 2.5f; x += 0.2f)
        for (float z = 30.0f; z <= 32.0f; z += 0.2f) {
            dark += isDark(t.colourAt(x, -z));
            white += isWhite(t.colourAt(x, -z));
            mirroredDark += isDark(t.colourAt(x, z));
        }
    EXPECT_GT(dark, 50);
    EXPECT_GT(white, 50);
    EXPECT_LT(mirroredDark, 5);
    // Grass away from the roads, gravel round each sign.
    EXPECT_TRUE(isGreen(t.colourAt(100, 60)));
    for (auto [x, z] : {std::pair{200.0f, 5.0f}, {-200.0f, -5.0f}, {5.0f, 200.0f}, {-5.0f, -200.0f}})
        EXPECT_FALSE(isGreen(t.colourAt(x, z))) << x << ", " << z;
}

double edgeDifference(const kit::Picture& p, const kit::Picture& q, bool horizontal) {
    double sum = 0;
    for (int i = 0; i < p.width; ++i) {
        const uint8_t* a = horizontal ? p.at(p.width - 1, i) : p.at(i, p.height - 1);
        const uint8_t* b = horizontal ? q.at(0, i) : q.at(i, 0);
        for (int k = 0; k < 3; ++k) sum += std::abs(a[k] - b[k]);
    }
    return sum / (3.0 * p.width);
}

TEST(TerrainFiles, NeighbouringTilesJoinWithoutSeams) {
    const Terrain& t = terrain();
    double worst = 0;
    for (int b = 0; b < SEGMENTS; ++b)
        for (int a = 0; a < SEGMENTS; ++a) {
            const kit::Picture& tile = t.tiles[a + SEGMENTS * b];
            // East neighbour: this tile's right column meets its left column.
            if (a + 1 < SEGMENTS) worst = std::max(worst, edgeDifference(tile, t.tiles[a + 1 + SEGMENTS * b], true));
            // Tile b + 1 lies north (smaller z): this tile's bottom row (its
            // north edge) meets that tile's top row.
            if (b + 1 < SEGMENTS) worst = std::max(worst, edgeDifference(tile, t.tiles[a + SEGMENTS * (b + 1)], false));
        }
    EXPECT_LT(worst, 8.0) << "mean colour step across a tile border";
}

// The tiles carry relief shading lit from the north: slopes that rise
// towards +z are brighter. Read with the heightmap the right way round,
// brightness follows the slope; mirrored, it does not.
TEST(TerrainFiles, HeightmapAndTilesShowTheSameHills) {
    const Terrain& t = terrain();
    auto brightness = [&](float x, float z) {
        double sum = 0;
        for (int dz = -2; dz <= 2; ++dz)
            for (int dx = -2; dx <= 2; ++dx) {
                const uint8_t* c = t.colourAt(x + dx * 0.7f, z + dz * 0.7f);
                sum += c[0] + c[1] + c[2];
            }
        return sum;
    };
    auto correlation = [&](bool mirrored) {
        double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
        int n = 0;
        // Only the free hills: inside the rim and away from the roads along
        // the axes and the start area, which are laid out alike on all sides.
        for (float z = -190; z <= 190; z += 4)
            for (float x = -190; x <= 190; x += 4) {
                if (std::fabs(x) < 40 || std::fabs(z) < 40) continue;
                float zz = mirrored ? -z : z;
                double slope = (t.heightAt(x, zz + 2 * STEP) - t.heightAt(x, zz - 2 * STEP)) * (mirrored ? -1 : 1);
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

}  // namespace
