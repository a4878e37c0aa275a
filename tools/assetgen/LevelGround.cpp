#include "LevelGround.h"

#include <algorithm>
#include <cmath>

#include "Geometry.h"
#include "GreyPng16.h"
#include "Noise.h"

namespace assetgen {

namespace {

// How far the ground beyond a flat place blends back into the land.
const float START_BLEND = 45, PAD_BLEND = 40, ROAD_BLEND = 22;
// The share of the relief kept in each try, gentler each time.
const float RELIEF_STEPS[] = {1.0f, 0.8f, 0.6f, 0.4f, 0.2f, 0.0f};

uint32_t landSeed(const LevelPlan& plan, uint32_t layer) { return plan.seed * 2654435761u + layer * 40503u; }

// Rolling hills all round, rising towards a rim at the edges.
float hillsLand(const LevelPlan& plan, float x, float z) {
    const float hills = fractalNoise(x / 150 + 50, z / 150 + 50, 4, landSeed(plan, 1), 0, 0.45f);
    const float rim = smoothstep(210, 300, std::max(std::fabs(x), std::fabs(z)));
    return 4 + 18 * hills + 7 * rim;
}

// A floor falling gently to the south between wooded sides, with a river
// bed winding along it (the roads ford it).
float valleyLand(const LevelPlan& plan, float x, float z) {
    const float centre = LevelGround::valleyCentre(plan, z), off = std::fabs(x - centre);
    const float floor = 7 - 0.006f * z;
    const float sides = smoothstep(55, 175, off) * (22 + 12 * fractalNoise(x / 90, z / 90, 3, landSeed(plan, 2)));
    const float bumps = 3 * fractalNoise(x / 60 + 9, z / 60, 3, landSeed(plan, 3));
    const float river = centre + 16 * std::sin(z / 47 + plan.phase * 1.7f);
    const float bed = 1.8f * (1 - smoothstep(3.5f, 10, std::fabs(x - river)));
    return floor + sides + bumps - bed;
}

// Lowland in the south; to the north a ridge across the whole land, its
// crest at the saddle's z, low at the saddle and rising to craggy peaks on
// either side; beyond the crest it falls away a little.
float passLand(const LevelPlan& plan, float x, float z) {
    const float low = 5 + 6 * fractalNoise(x / 120 + 3, z / 120, 4, landSeed(plan, 4));
    const float crest = plan.saddle.z;
    const float rise = z >= crest ? smoothstep(-5, crest, z) : 1 - 0.4f * smoothstep(crest, -300, z);
    const float fromSaddle = std::fabs(x - plan.saddle.x);
    const float peaks = 0.8f + 0.4f * ridgedNoise(x / 70, 0.3f, 2, landSeed(plan, 5));
    const float ridge = 28 + 26 * smoothstep(12, 115, fromSaddle) * peaks;
    const float crags = 7 * ridgedNoise(x / 35, z / 35, 3, landSeed(plan, 6)) * smoothstep(20, 90, fromSaddle);
    return low + rise * (ridge + crags);
}

float segmentDistance(LevelPlan::Spot p, LevelPlan::Spot a, LevelPlan::Spot b, float& along) {
    const float dx = b.x - a.x, dz = b.z - a.z, length = std::max(std::hypot(dx, dz), 1e-3f);
    along = clampf(((p.x - a.x) * dx + (p.z - a.z) * dz) / length, 0, length);
    return std::hypot(p.x - (a.x + dx / length * along), p.z - (a.z + dz / length * along));
}

}  // namespace

float LevelGround::valleyCentre(const LevelPlan& plan, float z) {
    return 30 * (std::sin(z / 130 + plan.phase) - std::sin(plan.phase));
}

LevelGround::LevelGround(const LevelPlan& plan) : plan(plan), map(static_cast<std::size_t>(MAP_SIZE) * MAP_SIZE) {
    for (float step : RELIEF_STEPS) {
        keep = step;
        chooseLevels();
        store();
        if (steepestOnRoads() <= STEEPEST) break;
    }
}

// The shape's land as it is, and with its relief scaled by `keep` about
// the start's level.
float LevelGround::shapeLand(float x, float z) const {
    switch (plan.shape) {
    case LevelShape::VALLEY: return valleyLand(plan, x, z);
    case LevelShape::PASS: return passLand(plan, x, z);
    case LevelShape::HILLS: break;
    }
    return hillsLand(plan, x, z);
}

float LevelGround::land(float x, float z) const { return plain + keep * (shapeLand(x, z) - plain); }

// Each stop lies at the mean height of the land round it, drawn towards
// the start's level as the relief is; then the roads between them are graded.
void LevelGround::chooseLevels() {
    stops.clear();
    roads.clear();
    const std::vector<LevelPlan::Spot> tour = plan.tour();
    for (std::size_t i = 0; i + 1 < tour.size(); ++i) {
        const bool start = i == 0;
        Stop s{tour[i], start ? plan.startRadius + START_MARGIN : PAD_RADIUS, start ? START_BLEND : PAD_BLEND, 0};
        const float r = s.flat * 0.7f;
        for (int k = 0; k < 8; ++k)
            s.level += shapeLand(s.at.x + r * std::cos(k * PI_F / 4), s.at.z + r * std::sin(k * PI_F / 4)) / 8;
        stops.push_back(s);
        roads.push_back({static_cast<int>(i), static_cast<int>((i + 1) % (tour.size() - 1))});
    }
    plain = stops[0].level;
    for (Stop& s : stops) s.level = plain + keep * (s.level - plain);
    gradeLevels();
}

// No road rises more than ROAD_GRADE on average between the flat places at
// its ends: a stop too high or low for a road is moved towards its
// neighbour (the start never moves), until every road fits.
void LevelGround::gradeLevels() {
    for (int pass = 0; pass < 100; ++pass) {
        bool moved = false;
        for (const Road& r : roads) {
            Stop &a = stops[static_cast<std::size_t>(r.from)], &b = stops[static_cast<std::size_t>(r.to)];
            const float run = std::hypot(b.at.x - a.at.x, b.at.z - a.at.z) - a.flat - b.flat;
            const float allowed = ROAD_GRADE * std::max(run, 1.0f), rise = b.level - a.level;
            if (std::fabs(rise) <= allowed + 1e-3f) continue;
            const float excess = std::fabs(rise) - allowed, sign = rise > 0 ? 1.0f : -1.0f;
            if (r.from == 0) b.level -= sign * excess;
            else if (r.to == 0) a.level += sign * excess;
            else {
                a.level += sign * excess / 2;
                b.level -= sign * excess / 2;
            }
            moved = true;
        }
        if (!moved) return;
    }
}

// The road's height at a distance along it: level in the flat places at
// its ends, and an S-shaped rise between them.
float LevelGround::roadLevel(const Road& road, float along) const {
    const Stop &a = stops[static_cast<std::size_t>(road.from)], &b = stops[static_cast<std::size_t>(road.to)];
    const float length = std::hypot(b.at.x - a.at.x, b.at.z - a.at.z);
    const float t = clamp01((along - a.flat) / std::max(length - a.flat - b.flat, 1.0f));
    return mixf(a.level, b.level, smoothstep(0, 1, t));
}

// Flat places at their own level; elsewhere the land drawn towards the
// levels of the flat places and roads near by (a weighted mean of their
// levels, so that where two meet neither wins by a step).
float LevelGround::designed(float x, float z) const {
    const LevelPlan::Spot p{x, z};
    float weights = 0, levels = 0, strongest = 0;
    auto add = [&](float w, float level) {
        const float w8 = std::pow(w, 8.0f);
        weights += w8;
        levels += w8 * level;
        strongest = std::max(strongest, w);
    };
    for (const Stop& s : stops) {
        const float d = std::hypot(x - s.at.x, z - s.at.z);
        if (d <= s.flat) return s.level;
        add(smoothstep(s.flat + s.blend, s.flat, d), s.level);
    }
    for (const Road& r : roads) {
        float along = 0;
        const float d = segmentDistance(p, stops[static_cast<std::size_t>(r.from)].at,
                                        stops[static_cast<std::size_t>(r.to)].at, along);
        add(smoothstep(ROAD_HALF_WIDTH + ROAD_BLEND, ROAD_HALF_WIDTH, d), roadLevel(r, along));
    }
    const float raw = land(x, z);
    return weights > 0 ? mixf(raw, levels / weights, strongest) : raw;
}

float LevelGround::mapX(int column) const { return column * (plan.size / MAP_SIZE) - plan.size / 2; }
float LevelGround::mapZ(int row) const { return row * (plan.size / MAP_SIZE) - plan.size / 2; }

void LevelGround::store() {
    for (int r = 0; r < MAP_SIZE; ++r)
        for (int c = 0; c < MAP_SIZE; ++c) {
            const float v = clamp01(designed(mapX(c), mapZ(r)) / plan.height);
            map[static_cast<std::size_t>(r) * MAP_SIZE + c] = static_cast<uint16_t>(std::lround(v * 65535));
        }
}

float LevelGround::height(float x, float z) const {
    const float step = plan.size / MAP_SIZE;
    const float gx = clampf((x + plan.size / 2) / step, 0, MAP_SIZE - 1.001f);
    const float gz = clampf((z + plan.size / 2) / step, 0, MAP_SIZE - 1.001f);
    const int c = static_cast<int>(gx), r = static_cast<int>(gz);
    const float tx = gx - c, tz = gz - r;
    const float h = mixf(mixf(pixel(c, r), pixel(c + 1, r), tx), mixf(pixel(c, r + 1), pixel(c + 1, r + 1), tx), tz);
    return h / 65535 * plan.height;
}

// The slope of the ground (its steepest direction) every unit along each
// road, on its centre line and two units to either side (where the wheels
// of a car on it roll; the banks beyond a road cut into a hillside may be
// steeper).
float LevelGround::steepestOnRoads() const {
    const float e = plan.size / MAP_SIZE / 2;
    float steepest = 0;
    for (const Road& r : roads) {
        const LevelPlan::Spot a = stops[static_cast<std::size_t>(r.from)].at, b = stops[static_cast<std::size_t>(r.to)].at;
        const float length = std::hypot(b.x - a.x, b.z - a.z);
        const float ux = (b.x - a.x) / length, uz = (b.z - a.z) / length;
        for (float s = 0; s <= length; s += 1)
            for (float across : {-2.0f, 0.0f, 2.0f}) {
                const float x = a.x + ux * s - uz * across, z = a.z + uz * s + ux * across;
                const float gx = (height(x + e, z) - height(x - e, z)) / (2 * e);
                const float gz = (height(x, z + e) - height(x, z - e)) / (2 * e);
                steepest = std::max(steepest, std::atan(std::hypot(gx, gz)) * 180 / PI_F);
            }
    }
    return steepest;
}

std::vector<uint8_t> LevelGround::png() const {
    std::vector<uint16_t> rows(map.size());
    for (int r = 0; r < MAP_SIZE; ++r)
        std::copy_n(map.begin() + static_cast<std::ptrdiff_t>(r) * MAP_SIZE, MAP_SIZE,
                    rows.begin() + static_cast<std::ptrdiff_t>(MAP_SIZE - 1 - r) * MAP_SIZE);
    return greyPng16(rows, MAP_SIZE, MAP_SIZE);
}

}  // namespace assetgen
