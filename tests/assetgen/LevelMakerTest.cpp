// The level maker (assetgen --level SEED DIR) and the levels shipped from
// it, read back with the game's own level reader and heightmap loader:
// valid levels by the rules of a level, signs unlike the demo's, flat
// places at the start and the signs, roads a car climbs, the same bytes for
// the same seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include "AssetKit.h"
#include "levels/LevelFile.h"
#include "support/TempFolder.h"

namespace {

using Level = LevelDescription;

const double STEEPEST_ROAD = 20;  // degrees a small car still climbs

std::string fileText(const kit::fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A level's ground as the terrain loader lays it: pixel (c, r) at
// x = c * size / width - size / 2, z likewise, row 0 the bottom row.
struct Ground {
    kit::Heightmap map;
    double size = 0, top = 0;

    explicit Ground(const Level& level) : size(level.terrain.size), top(level.terrain.height) {
        EXPECT_TRUE(kit::loadHeightmap(level.terrain.heightmap, map)) << level.terrain.heightmap;
    }
    // Units above black, bilinear between pixels.
    double at(double x, double z) const {
        const double gx = std::clamp((x + size / 2) / (size / map.width), 0.0, map.width - 1.001);
        const double gz = std::clamp((z + size / 2) / (size / map.height), 0.0, map.height - 1.001);
        const int c = static_cast<int>(gx), r = static_cast<int>(gz);
        const double tx = gx - c, tz = gz - r;
        const double h = (map.at(c, r) * (1 - tx) + map.at(c + 1, r) * tx) * (1 - tz) +
                         (map.at(c, r + 1) * (1 - tx) + map.at(c + 1, r + 1) * tx) * tz;
        return h / 65535 * top;
    }
    // Highest minus lowest ground within a radius.
    double unevenness(Level::Place p, double radius) const {
        double lo = 1e9, hi = -1e9;
        for (double dz = -radius; dz <= radius; dz += 1)
            for (double dx = -radius; dx <= radius; dx += 1)
                if (dx * dx + dz * dz <= radius * radius) {
                    lo = std::min(lo, at(p.x + dx, p.z + dz));
                    hi = std::max(hi, at(p.x + dx, p.z + dz));
                }
        return hi - lo;
    }
    // The steepest slope, in degrees, on the straight way from a to b,
    // measured over three units along it.
    double steepestBetween(Level::Place a, Level::Place b) const {
        const double length = std::hypot(b.x - a.x, b.z - a.z), step = 3;
        const double ux = (b.x - a.x) / length, uz = (b.z - a.z) / length;
        double steepest = 0;
        for (double s = 0; s + step <= length; s += 1) {
            const double rise = at(a.x + ux * (s + step), a.z + uz * (s + step)) - at(a.x + ux * s, a.z + uz * s);
            steepest = std::max(steepest, std::atan(std::fabs(rise) / step) * 180 / M_PI);
        }
        return steepest;
    }
};

double distance(Level::Place a, Level::Place b) { return std::hypot(a.x - b.x, a.z - b.z); }

// Compass degrees from a to b.
double bearing(Level::Place a, Level::Place b) {
    const double d = std::atan2(b.x - a.x, -(b.z - a.z)) * 180 / M_PI;
    return d < 0 ? d + 360 : d;
}

std::vector<Level::Place> tour(const Level& level) {
    std::vector<Level::Place> stops = {level.start.position};
    for (const Level::Sign& s : level.signs) stops.push_back(s.position);
    stops.push_back(level.start.position);
    return stops;
}

// The rules of a valid level, and a ground that fits it: flat round the
// start and the signs, the way from stop to stop of the tour climbable.
void expectPlayable(const Level& level, const std::string& what) {
    SCOPED_TRACE(what);
    const double limit = level.terrain.size / 2 - 20;
    std::vector<Level::Place> places = {level.start.position};
    for (const auto& s : level.signs) places.push_back(s.position);
    for (const auto& i : level.items) places.push_back(i.position);
    for (const auto& p : level.pursuers) places.push_back(p.position);
    places.insert(places.end(), level.checkpoints.begin(), level.checkpoints.end());
    for (const Level::Place& p : places)
        EXPECT_TRUE(std::fabs(p.x) < limit && std::fabs(p.z) < limit) << p.x << ", " << p.z;
    for (const auto& s : level.signs)
        EXPECT_GT(distance(s.position, level.start.position), level.start.radius + 5) << s.name;
    ASSERT_TRUE(level.medals);
    EXPECT_LT(level.medals->gold, level.medals->silver);
    EXPECT_LT(level.medals->silver, level.medals->bronze);

    const Ground ground(level);
    ASSERT_GE(ground.map.width, level.terrain.segments);
    EXPECT_LT(ground.unevenness(level.start.position, level.start.radius), 0.01) << "start area not flat";
    for (const auto& s : level.signs) EXPECT_LT(ground.unevenness(s.position, 12), 0.01) << "no flat pad at " << s.name;
    const std::vector<Level::Place> stops = tour(level);
    for (size_t i = 0; i + 1 < stops.size(); ++i)
        EXPECT_LE(ground.steepestBetween(stops[i], stops[i + 1]), STEEPEST_ROAD) << "road " << i << " of the tour";
}

// Three to six signs, 120 to 260 units out, not all as far, none within 10
// degrees of a compass point; every kind of item; two to eight pursuers, one
// monster at most, with patrol points; medals from the tour's length.
void expectMadeLevel(const Level& level, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_GE(level.signs.size(), 3u);
    ASSERT_LE(level.signs.size(), 6u);
    double nearest = 1e9, farthest = 0;
    std::set<std::string> names;
    for (const auto& s : level.signs) {
        const double d = distance(s.position, level.start.position), b = std::fmod(bearing(level.start.position, s.position), 90);
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
        EXPECT_TRUE(b >= 10 && b <= 80) << s.name << " at a compass point: " << b;
        EXPECT_NEAR(std::fmod(bearing(s.position, level.start.position) - s.heading + 540, 360) - 180, 0, 0.1)
            << s.name << " looks away from the start";
        EXPECT_TRUE(names.insert(s.name).second) << s.name << " twice";
        EXPECT_GE(s.name.size(), 4u);
    }
    EXPECT_GE(nearest, 120);
    EXPECT_LE(farthest, 260);
    EXPECT_GE(farthest - nearest, 25) << "every sign as far out";
    std::set<Level::ItemKind> kinds;
    for (const auto& i : level.items) kinds.insert(i.kind);
    EXPECT_EQ(kinds.size(), 5u);
    EXPECT_GE(level.pursuers.size(), 2u);
    EXPECT_LE(level.pursuers.size(), 8u);
    EXPECT_LE(std::count_if(level.pursuers.begin(), level.pursuers.end(),
                            [](const Level::Pursuer& p) { return p.kind == Level::PursuerKind::MONSTER; }),
              1);
    EXPECT_GE(level.checkpoints.size(), 2u);
    double length = 0;
    const std::vector<Level::Place> stops = tour(level);
    for (size_t i = 0; i + 1 < stops.size(); ++i) length += distance(stops[i], stops[i + 1]);
    const double estimate = length / 10 + 4 * level.signs.size();
    EXPECT_GT(level.medals->gold, 0.85 * estimate);
    EXPECT_LT(level.medals->gold, estimate);
    EXPECT_NEAR(level.medals->silver / level.medals->gold, 1.15, 0.02);
    EXPECT_NEAR(level.medals->bronze / level.medals->gold, 1.35, 0.02);
}

std::optional<Level> readLevel(const kit::fs::path& file) {
    std::vector<std::string> errors;
    std::optional<Level> level = LevelFile::read(file.string(), errors);
    for (const std::string& e : errors) ADD_FAILURE() << e;
    return level;
}

struct Made {
    std::string seed, shape;
};

TEST(LevelMaker, MakesPlayableLevelsOfEveryShapeFromAnySeed) {
    TempFolder folder("levelmaker");
    for (const Made& m : {Made{"1", "hills"}, Made{"2", "hills"}, Made{"77", "hills"}, Made{"4294967295", "hills"},
                          Made{"5", "valley"}, Made{"12", "valley"}, Made{"8", "pass"}, Made{"21", "pass"}}) {
        const kit::fs::path dir = folder / (m.shape + m.seed);
        ASSERT_EQ(kit::runGenerator({"--level", m.seed, dir.string(), "--shape", m.shape}), 0);
        const std::optional<Level> level = readLevel(dir / "level.toml");
        ASSERT_TRUE(level) << m.shape << " " << m.seed;
        expectPlayable(*level, m.shape + " " + m.seed);
        expectMadeLevel(*level, m.shape + " " + m.seed);
    }
}

TEST(LevelMaker, TheSameSeedMakesTheSameBytesAndAnotherSeedAnotherLevel) {
    TempFolder folder("levelmaker");
    ASSERT_EQ(kit::runGenerator({"--level", "3", (folder / "first").string()}), 0);
    ASSERT_EQ(kit::runGenerator({"--level", "3", (folder / "again").string()}), 0);
    ASSERT_EQ(kit::runGenerator({"--level", "4", (folder / "other").string()}), 0);
    for (const char* file : {"level.toml", "heightmap.png"}) {
        EXPECT_EQ(fileText(folder / "first" / file), fileText(folder / "again" / file)) << file;
        EXPECT_NE(fileText(folder / "first" / file), fileText(folder / "other" / file)) << file;
    }
    // Without --shape the land is hills; the shape changes the ground, not just the name.
    ASSERT_EQ(kit::runGenerator({"--level", "3", (folder / "valley").string(), "--shape", "valley"}), 0);
    EXPECT_NE(fileText(folder / "first" / "heightmap.png"), fileText(folder / "valley" / "heightmap.png"));
}

// A bad seed, shape or argument count writes nothing and says how to call
// it (status 2); a folder that cannot be written gives status 1.
TEST(LevelMaker, RefusesBadArgumentsAndSaysWhenItCannotWrite) {
    TempFolder folder("levelmaker");
    const std::string dir = (folder / "level").string();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--level", "abc", dir}, {"--level", "-1", dir},
                                               {"--level", "4294967296", dir}, {"--level", "12x", dir},
                                               {"--level", "", dir}, {"--level", "5"}, {"--level"},
                                               {"--level", "5", dir, "--shape", "moon"},
                                               {"--level", "5", dir, "--shape"}, {"--level", "5", dir, "--size", "9"}})
        EXPECT_EQ(kit::runGenerator(args), 2) << args.size() << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_FALSE(kit::fs::exists(dir));
    std::ofstream(folder / "file") << "a file, not a folder";
    EXPECT_EQ(kit::runGenerator({"--level", "5", (folder / "file").string()}), 1);
    EXPECT_EQ(fileText(folder / "file"), "a file, not a folder");
}

// The levels shipped with the game: their hand-finished files read as the
// game reads them, beside the heightmaps the build made from their seeds.
TEST(LevelMaker, ShippedLevelsStandOnTheGroundTheBuildMadeForThem) {
    for (const char* id : {"valley", "pass"}) {
        const std::optional<Level> level = readLevel(kit::kitFolder() / "levels" / (std::string(id) + ".toml"));
        ASSERT_TRUE(level) << id;
        expectPlayable(*level, id);
        expectMadeLevel(*level, id);
    }
}

// Each has a character of its own: the valley's start lies on its floor,
// with the land rising to both sides; the pass's farthest sign stands on a
// saddle high above the start, between peaks higher still.
TEST(LevelMaker, TheValleyRunsBetweenSidesAndThePassClimbsToASaddle) {
    const std::optional<Level> valley = readLevel(kit::kitFolder() / "levels" / "valley.toml");
    const std::optional<Level> pass = readLevel(kit::kitFolder() / "levels" / "pass.toml");
    ASSERT_TRUE(valley && pass);
    const Ground floor(*valley);
    const Level::Place s = valley->start.position;
    EXPECT_GT(floor.at(s.x - 200, s.z), floor.at(s.x, s.z) + 10);
    EXPECT_GT(floor.at(s.x + 200, s.z), floor.at(s.x, s.z) + 10);
    int east = 0;
    for (const auto& sign : valley->signs) east += sign.position.x > s.x;
    EXPECT_TRUE(east > 0 && east < static_cast<int>(valley->signs.size())) << "signs on one side only";

    const Ground mountain(*pass);
    const Level::Place start = pass->start.position;
    const Level::Sign& saddle = *std::max_element(pass->signs.begin(), pass->signs.end(), [&](const auto& a, const auto& b) {
        return distance(a.position, start) < distance(b.position, start);
    });
    const double top = mountain.at(saddle.position.x, saddle.position.z);
    EXPECT_GT(top, mountain.at(start.x, start.z) + 20) << saddle.name << " is no climb";
    EXPECT_GT(mountain.at(saddle.position.x - 100, saddle.position.z), top + 10) << "no peak to the west";
    EXPECT_GT(mountain.at(saddle.position.x + 100, saddle.position.z), top + 10) << "no peak to the east";
}

}  // namespace
