#include "assets/TerrainLevels.h"

#include <map>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Shape {
    int quadsX, quadsZ, levels;
};

// Twice the signed area of triangle t in grid units (p, q); the grid's own
// triangles give -1 per half cell.
long doubleArea(const TerrainLevels& lv, const std::vector<GLuint>& list, std::size_t t) {
    const long columns = lv.getQuadsX() + 1;
    long p[3], q[3];
    for (int m = 0; m < 3; ++m) {
        p[m] = list[t + m] % columns;
        q[m] = list[t + m] / columns;
    }
    return (p[1] - p[0]) * (q[2] - q[0]) - (q[1] - q[0]) * (p[2] - p[0]);
}

std::vector<float> heightsOf(const TerrainLevels& lv, float (*height)(int p, int q)) {
    std::vector<float> h;
    for (int q = 0; q <= lv.getQuadsZ(); ++q)
        for (int p = 0; p <= lv.getQuadsX(); ++p) h.push_back(height(p, q));
    return h;
}

}  // namespace

// Each level tiles the segment exactly: every triangle wound as the grid's,
// the areas summing to the segment's, every inner edge shared by exactly two
// triangles in opposite directions (so no T-junction and no gap inside), and
// the edges used once being exactly the border's unit edges (so the border
// carries every grid vertex and meets any neighbour's level).
TEST(TerrainLevelsTest, EveryLevelTilesTheSegmentAndKeepsItsBorderAtFullResolution) {
    const Shape shapes[] = {{32, 32, 4}, {31, 32, 4}, {32, 31, 4}, {31, 31, 4}, {16, 16, 4},
                            {15, 16, 3}, {9, 5, 2},   {3, 3, 1},   {1, 1, 1}};
    for (const Shape& shape : shapes) {
        const TerrainLevels lv(shape.quadsX, shape.quadsZ);
        ASSERT_EQ(lv.levelCount(), shape.levels) << shape.quadsX << "x" << shape.quadsZ;
        const long columns = shape.quadsX + 1;
        for (int level = 0; level < lv.levelCount(); ++level) {
            const std::vector<GLuint>& list = lv.indices(level);
            SCOPED_TRACE(testing::Message() << shape.quadsX << "x" << shape.quadsZ << " level " << level);
            ASSERT_EQ(list.size() % 3, 0u);
            ASSERT_GT(list.size(), 0u);
            long area = 0;
            std::map<std::pair<GLuint, GLuint>, int> directed;
            for (std::size_t t = 0; t < list.size(); t += 3) {
                for (int m = 0; m < 3; ++m) ASSERT_LT(list[t + m], static_cast<GLuint>(columns * (shape.quadsZ + 1)));
                const long twice = doubleArea(lv, list, t);
                EXPECT_LT(twice, 0) << "triangle " << t / 3 << " is wound the other way or has no area";
                area -= twice;
                for (int m = 0; m < 3; ++m) ++directed[{list[t + m], list[t + (m + 1) % 3]}];
            }
            EXPECT_EQ(area, 2L * shape.quadsX * shape.quadsZ);
            std::map<std::pair<GLuint, GLuint>, int> border;
            for (const auto& [edge, uses] : directed) {
                EXPECT_EQ(uses, 1) << "edge " << edge.first << "-" << edge.second << " used twice the same way";
                if (directed.count({edge.second, edge.first}) == 0) ++border[edge];
            }
            // The border, unit edge by unit edge, each once.
            std::size_t unitEdges = 0;
            auto expectBorderEdge = [&](int p0, int q0, int p1, int q1) {
                const GLuint a = static_cast<GLuint>(q0 * columns + p0), b = static_cast<GLuint>(q1 * columns + p1);
                EXPECT_TRUE(border.count({a, b}) + border.count({b, a}) == 1)
                    << "border edge (" << p0 << "," << q0 << ")-(" << p1 << "," << q1 << ")";
                ++unitEdges;
            };
            for (int p = 0; p < shape.quadsX; ++p) {
                expectBorderEdge(p, 0, p + 1, 0);
                expectBorderEdge(p, shape.quadsZ, p + 1, shape.quadsZ);
            }
            for (int q = 0; q < shape.quadsZ; ++q) {
                expectBorderEdge(0, q, 0, q + 1);
                expectBorderEdge(shape.quadsX, q, shape.quadsX, q + 1);
            }
            EXPECT_EQ(border.size(), unitEdges) << "an edge used once inside the segment: a crack";
            if (level > 0) {
                EXPECT_LT(lv.triangleCount(level), lv.triangleCount(level - 1));
            }
        }
    }
    // Level 0 is the grid as the segment's mesh holds it; the levels of a 32 x 32 segment.
    const TerrainLevels lv(32, 32);
    EXPECT_EQ(lv.triangleCount(0), 2048);
    EXPECT_EQ(std::vector<GLuint>(lv.indices(0).begin(), lv.indices(0).begin() + 6),
              (std::vector<GLuint>{0, 34, 1, 0, 33, 34}));
    EXPECT_EQ(lv.triangleCount(1), 14 * 14 * 2 + 4 * (32 + 14));
    EXPECT_EQ(lv.triangleCount(3), 2 * 2 * 2 + 4 * (32 + 2));
    EXPECT_TRUE(lv.indices(4).empty());
    EXPECT_TRUE(lv.indices(-1).empty());
    EXPECT_EQ(TerrainLevels(0, 5).levelCount(), 0);
}

// Errors: a plane, flat or tilted, loses nothing at any level; a single
// raised grid vertex costs what the coarser surface leaves of it.
TEST(TerrainLevelsTest, ErrorsOfFlatAndBumpySegmentsAndTheLevelTheyAllow) {
    const TerrainLevels lv(32, 32);
    for (auto plane : {+[](int, int) { return 0.7f; }, +[](int p, int q) { return 0.25f * p - 0.125f * q + 3.0f; }}) {
        const std::vector<float> errors = lv.errors(heightsOf(lv, plane).data());
        ASSERT_EQ(errors.size(), 4u);
        for (float e : errors) EXPECT_NEAR(e, 0.0f, 1e-5f);
        EXPECT_EQ(TerrainLevels::coarsestWithin(errors, 5.0, 519.6, 0.5), 3) << "a plane is coarse right away";
        EXPECT_EQ(TerrainLevels::coarsestWithin(errors, 0.0, 519.6, 0.5), 0) << "the eye over the segment";
    }
    // Vertex (8, 8) lies on every level's lines; its neighbours do not: the
    // coarse triangles around it ramp down over 2, 4 and 8 cells.
    const std::vector<float> peak = lv.errors(heightsOf(lv, [](int p, int q) { return p == 8 && q == 8 ? 1.0f : 0.0f; }).data());
    ASSERT_EQ(peak.size(), 4u);
    EXPECT_FLOAT_EQ(peak[0], 0.0f);
    EXPECT_FLOAT_EQ(peak[1], 0.5f);
    EXPECT_FLOAT_EQ(peak[2], 0.75f);
    EXPECT_FLOAT_EQ(peak[3], 0.875f);
    // Vertex (5, 7) lies on no coarse line: every coarser level loses it whole.
    const std::vector<float> spike = lv.errors(heightsOf(lv, [](int p, int q) { return p == 5 && q == 7 ? -2.0f : 0.0f; }).data());
    EXPECT_FLOAT_EQ(spike[0], 0.0f);
    for (int level = 1; level < 4; ++level) EXPECT_FLOAT_EQ(spike[static_cast<std::size_t>(level)], 2.0f);

    // 600 px high, 60 degrees: 519.6 px per unit at distance 1; half a pixel
    // allows an error of distance / 1039.2.
    EXPECT_EQ(TerrainLevels::coarsestWithin(peak, 100.0, 519.6, 0.5), 0);
    EXPECT_EQ(TerrainLevels::coarsestWithin(peak, 600.0, 519.6, 0.5), 1);
    EXPECT_EQ(TerrainLevels::coarsestWithin(peak, 800.0, 519.6, 0.5), 2);
    EXPECT_EQ(TerrainLevels::coarsestWithin(peak, 1000.0, 519.6, 0.5), 3);
    EXPECT_EQ(TerrainLevels::coarsestWithin(peak, 1100.0, 2 * 519.6, 0.5), 1) << "a window twice as high";
    EXPECT_EQ(TerrainLevels::coarsestWithin({}, 1000.0, 519.6, 0.5), 0);
    // The errors are made non-decreasing: a coarser level never claims less.
    const TerrainLevels small(16, 16);
    const std::vector<float> mixed = small.errors(
        heightsOf(small, [](int p, int q) { return (p == 2 && q == 3) || (p == 6 && q == 6) ? 1.0f : 0.0f; }).data());
    for (std::size_t level = 1; level < mixed.size(); ++level) EXPECT_GE(mixed[level], mixed[level - 1]);
}
