#include "LevelMaker.h"

#include <algorithm>
#include <cmath>

#include "Geometry.h"
#include "LevelGround.h"
#include "TownNames.h"

namespace assetgen {

namespace {

// Positions are written with one decimal: the plan keeps them so, and the
// ground is shaped round exactly the places the file names.
LevelPlan::Spot rounded(LevelPlan::Spot s) {
    return {std::round(s.x * 10) / 10, std::round(s.z * 10) / 10};
}

float spotDistance(LevelPlan::Spot a, LevelPlan::Spot b) { return std::hypot(a.x - b.x, a.z - b.z); }

LevelPlan::Spot along(LevelPlan::Spot a, LevelPlan::Spot b, float t) {
    return {a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t};
}

// From a place to the nearest point of the straight road from a to b.
float pathDistance(LevelPlan::Spot p, LevelPlan::Spot a, LevelPlan::Spot b) {
    const float dx = b.x - a.x, dz = b.z - a.z, squared = std::max(dx * dx + dz * dz, 1e-6f);
    const float t = clampf(((p.x - a.x) * dx + (p.z - a.z) * dz) / squared, 0, 1);
    return spotDistance(p, along(a, b, t));
}

// The kinds of item, as the level file names them, and how many of each a
// level has at least and at most.
struct MakerItemKind {
    const char* name;
    int least, most;
};
const MakerItemKind MAKER_ITEM_KINDS[] = {
    {"booze", 1, 3}, {"tool", 1, 2}, {"engine", 1, 3}, {"vaccine", 1, 3}, {"overkill", 1, 2}};

const char* const SHAPE_WORDS[] = {"Hills", "Valley", "Pass"};
// Units from black to white: room for the highest ground of each shape.
const float SHAPE_HEIGHTS[] = {30, 48, 75};

// Random's stream for seed n, after k numbers, is the stream for seed n + k:
// neighbouring seeds would share most of their towns. A hashed seed (and
// shape) starts each level far from every other's stream.
uint64_t makerStream(uint32_t seed, LevelShape shape) {
    const int s = static_cast<int>(shape);
    return static_cast<uint64_t>(hash2(static_cast<int>(seed), 0x5EED + s, 0x1E7E1u)) << 32 |
           hash2(static_cast<int>(seed), 0x1E7E1 + s, 0x5EEDu);
}

}  // namespace

LevelMaker::LevelMaker(uint32_t seed, LevelShape shape) : random(makerStream(seed, shape)) {
    plan.seed = seed;
    plan.shape = shape;
    plan.height = SHAPE_HEIGHTS[static_cast<int>(shape)];
}

LevelPlan LevelMaker::make() {
    plan.phase = random.range(0, 2 * PI_F);
    switch (plan.shape) {
    case LevelShape::HILLS: placeHillSigns(); break;
    case LevelShape::VALLEY: placeValleySigns(); break;
    case LevelShape::PASS: placePassSigns(); break;
    }
    nameLevel();
    placeItems();
    placePursuers();
    setMedals();
    chooseSky();
    describe();
    return plan;
}

float LevelMaker::bearing(LevelPlan::Spot from, LevelPlan::Spot to) {
    float degrees = std::atan2(to.x - from.x, -(to.z - from.z)) * 180 / PI_F;
    return degrees < 0 ? degrees + 360 : degrees;
}

LevelPlan::Spot LevelMaker::ahead(LevelPlan::Spot from, float bearingDegrees, float distance) {
    const float b = bearingDegrees * PI_F / 180;
    return {from.x + distance * std::sin(b), from.z - distance * std::cos(b)};
}

// On the terrain with room to its edge.
bool LevelMaker::fits(LevelPlan::Spot at) const {
    const float limit = plan.size / 2 - EDGE_KEEP;
    return std::fabs(at.x) <= limit && std::fabs(at.z) <= limit;
}

void LevelMaker::addSign(LevelPlan::Spot at) {
    LevelPlan::Sign sign;
    sign.at = rounded(at);
    plan.signs.push_back(sign);
}

// Each sign on the terrain, 120 to 260 units out, off the compass points
// as seen from the start, and apart from the others; some nearer, some
// farther out.
bool LevelMaker::signsFit() const {
    float nearest = FARTHEST_SIGN, farthest = 0;
    for (std::size_t i = 0; i < plan.signs.size(); ++i) {
        const LevelPlan::Spot s = plan.signs[i].at;
        const float d = spotDistance(s, plan.start), b = std::fmod(bearing(plan.start, s), 90.0f);
        if (!fits(s) || d < NEAREST_SIGN || d > FARTHEST_SIGN || b < COMPASS_GAP || b > 90 - COMPASS_GAP) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (spotDistance(s, plan.signs[j].at) < SIGN_SPACING) return false;
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
    }
    return farthest - nearest >= DISTANCE_SPREAD;
}

// Three to six signs round the start, each in its own sector.
void LevelMaker::placeHillSigns() {
    const int count = 3 + random.below(4);
    const float sector = 360.0f / count;
    do {
        plan.signs.clear();
        const float first = random.range(0, 360);
        for (int i = 0; i < count; ++i)
            addSign(ahead(plan.start, first + sector * (i + random.range(-0.2f, 0.2f)),
                          random.range(NEAREST_SIGN + 2, FARTHEST_SIGN - 2)));
    } while (!settled());
}

// Four or five signs at the feet of the valley's sides, on both banks, up
// and down the valley from the start in its middle.
void LevelMaker::placeValleySigns() {
    const int count = 4 + random.below(2);
    // North or south (-1, 1) and west or east (-1, 1) of each sign.
    const int ends[5] = {-1, 1, -1, 1, random.below(2) * 2 - 1};
    const int sides[5] = {1, -1, -1, 1, random.below(2) * 2 - 1};
    do {
        plan.signs.clear();
        for (int i = 0; i < count; ++i) {
            const float z = ends[i] * random.range(105, 235);
            addSign({LevelGround::valleyCentre(plan, z) + sides[i] * random.range(60, 85), z});
        }
    } while (!settled());
}

// The start in the lowland south of a ridge; one sign on the saddle of the
// pass, two or three more in the lowland round the start.
void LevelMaker::placePassSigns() {
    plan.start = rounded({random.range(-30, 30), 105});
    const float side = random.below(2) * 2.0f - 1.0f;
    plan.saddle = rounded({plan.start.x + side * random.range(50, 62), -140});
    const int lowland = 2 + random.below(2);
    do {
        plan.signs.clear();
        addSign(plan.saddle);
        for (int i = 0; i < lowland; ++i)
            addSign(ahead(plan.start, random.range(70, 290), random.range(NEAREST_SIGN + 2, 175)));
    } while (std::any_of(plan.signs.begin() + 1, plan.signs.end(), [](const LevelPlan::Sign& s) { return s.at.z < -20; }) ||
             !settled());
}

// The tour goes round the start by bearing, from the sign after the widest
// gap between two bearings to the one before it: the roads from sign to sign
// then never cross the start area or the roads out of it. Each plate looks
// back to the start, and the car starts facing the first sign.
void LevelMaker::orderTour() {
    std::sort(plan.signs.begin(), plan.signs.end(), [this](const LevelPlan::Sign& a, const LevelPlan::Sign& b) {
        return bearing(plan.start, a.at) < bearing(plan.start, b.at);
    });
    std::size_t first = 0;
    float widest = -1;
    for (std::size_t i = 0; i < plan.signs.size(); ++i) {
        const float from = bearing(plan.start, plan.signs[(i + plan.signs.size() - 1) % plan.signs.size()].at);
        const float gap = std::fmod(bearing(plan.start, plan.signs[i].at) - from + 720, 360.0f);
        if (gap > widest) widest = gap, first = i;
    }
    std::rotate(plan.signs.begin(), plan.signs.begin() + static_cast<std::ptrdiff_t>(first), plan.signs.end());
    for (LevelPlan::Sign& s : plan.signs) s.heading = std::round(bearing(s.at, plan.start) * 10) / 10;
    plan.startHeading = std::round(bearing(plan.start, plan.signs.front().at) * 10) / 10;
}

// Every road of the tour keeps clear of the stops it does not join (their
// flat places and the ground blending into them), and of the roads it does
// not meet: the ground of one never has to give way to another's.
bool LevelMaker::tourClear() const {
    const std::vector<LevelPlan::Spot> stops = plan.tour();
    const std::size_t roads = stops.size() - 1;
    for (std::size_t r = 0; r < roads; ++r) {
        const LevelPlan::Spot a = stops[r], b = stops[r + 1];
        for (std::size_t k = 1; k < roads; ++k)  // the signs
            if (k != r && k != r + 1 && pathDistance(stops[k], a, b) < STOP_CLEARANCE) return false;
        if (r != 0 && r + 1 != roads && pathDistance(plan.start, a, b) < plan.startRadius + 45) return false;
        for (std::size_t q = r + 2; q < roads; ++q) {
            if (r == 0 && q + 1 == roads) continue;  // both meet at the start
            for (float t = 0; t <= 1; t += 0.05f)
                if (pathDistance(along(stops[q], stops[q + 1], t), a, b) < ROAD_CLEARANCE) return false;
        }
    }
    return true;
}

bool LevelMaker::settled() {
    orderTour();
    return signsFit() && tourClear();
}

void LevelMaker::nameLevel() {
    TownNames names(random);
    for (LevelPlan::Sign& s : plan.signs) s.name = names.next();
    plan.name = names.next() + " " + SHAPE_WORDS[static_cast<int>(plan.shape)];
}

// Items lie on the roads of the tour, in the middle half of a road, a
// little to either side of its centre line.
void LevelMaker::placeItems() {
    const std::vector<LevelPlan::Spot> stops = plan.tour();
    for (const MakerItemKind& kind : MAKER_ITEM_KINDS) {
        const int count = kind.least + random.below(kind.most - kind.least + 1);
        for (int i = 0; i < count; ++i) {
            const std::size_t leg = static_cast<std::size_t>(random.below(static_cast<int>(stops.size()) - 1));
            const LevelPlan::Spot a = stops[leg], b = stops[leg + 1];
            const LevelPlan::Spot on = along(a, b, random.range(0.25f, 0.75f));
            const float side = random.range(-3, 3), length = std::max(spotDistance(a, b), 1.0f);
            const LevelPlan::Spot at = {on.x - (b.z - a.z) / length * side, on.z + (b.x - a.x) / length * side};
            plan.items.push_back({kind.name, rounded(at)});
        }
    }
}

// Places at the given fractions of each road from sign to sign, away from
// the start and the signs: where pursuers wait and patrol. Road by road in
// the order of the tour, or with one place of each road first (so that the
// first pursuers wait on different roads).
std::vector<LevelMaker::RoadSpot> LevelMaker::patrolSpots(const float* fractions, int count, bool roadByRoad) const {
    std::vector<RoadSpot> spots;
    const int roads = static_cast<int>(plan.signs.size()) - 1;
    for (int k = 0; k < count * roads; ++k) {
        const int f = roadByRoad ? k % count : k / roads;
        const std::size_t i = static_cast<std::size_t>(roadByRoad ? k / count : k % roads);
        const LevelPlan::Spot from = plan.signs[i].at, to = plan.signs[i + 1].at;
        const LevelPlan::Spot at = rounded(along(from, to, fractions[f]));
        bool clear = spotDistance(at, plan.start) >= PURSUER_DISTANCE;
        for (const LevelPlan::Sign& s : plan.signs) clear = clear && spotDistance(at, s.at) >= 20;
        if (clear) spots.push_back({at, std::round(bearing(from, to) * 10) / 10});
    }
    return spots;
}

// Two to eight pursuers (one of them the monster truck, often, when there
// are three or more), facing along their road; they patrol the points a
// third and two thirds along each road between two signs.
void LevelMaker::placePursuers() {
    const float checkpointFractions[] = {1 / 3.0f, 2 / 3.0f};
    for (const RoadSpot& s : patrolSpots(checkpointFractions, 2, true)) plan.checkpoints.push_back(s.at);
    if (plan.checkpoints.size() < 2) plan.checkpoints.clear();  // then they patrol between the signs
    const float waitFractions[] = {0.5f, 0.25f, 0.75f, 0.4f, 0.6f};
    const std::vector<RoadSpot> waits = patrolSpots(waitFractions, 5, false);
    const int count = std::min(2 + random.below(7), static_cast<int>(waits.size()));
    const bool monster = count >= 3 && random.uniform() < 0.6f;
    for (int i = 0; i < count; ++i) {
        const RoadSpot& wait = waits[static_cast<std::size_t>(i)];
        plan.pursuers.push_back({monster && i == count - 1, wait.at, wait.heading});
    }
}

// The tour driven at TOUR_SPEED with SIGN_SECONDS at each sign; gold a
// little under it, silver 15 % and bronze 35 % over gold.
void LevelMaker::setMedals() {
    const double tour = plan.tourLength() / TOUR_SPEED + SIGN_SECONDS * plan.signs.size();
    plan.gold = std::round(tour * 0.95);
    plan.silver = std::round(plan.gold * 1.15);
    plan.bronze = std::round(plan.gold * 1.35);
}

// A low sun from any side but the south, where the camera would look into it on the way out.
void LevelMaker::chooseSky() {
    const float azimuth = random.range(-100, 100) * PI_F / 180;
    plan.sun[0] = std::round(100 * std::sin(azimuth));
    plan.sun[1] = std::round(random.range(11, 30));
    plan.sun[2] = std::round(-100 * std::cos(azimuth));
}

void LevelMaker::describe() {
    plan.description = std::to_string(plan.signs.size()) + " towns, " + std::to_string(plan.pursuers.size()) +
                       " pursuers on the roads between them: made from seed " + std::to_string(plan.seed) + ".";
}

std::vector<LevelPlan::Spot> LevelPlan::tour() const {
    std::vector<Spot> stops = {start};
    for (const Sign& s : signs) stops.push_back(s.at);
    stops.push_back(start);
    return stops;
}

float LevelPlan::tourLength() const {
    const std::vector<Spot> stops = tour();
    float length = 0;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) length += spotDistance(stops[i], stops[i + 1]);
    return length;
}

}  // namespace assetgen
