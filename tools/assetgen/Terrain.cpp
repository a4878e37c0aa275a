#include "Terrain.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>

#include "Noise.h"
#include "TerrainMap.h"

namespace assetgen {

namespace {

const int TILE_SIZE = 512;
const int MACRO_STEP = 4;     // the smooth colour layers are computed every 4 texels
const int DETAIL_SIZE = 128;  // the detail pattern's texels per side

struct Road {
    float dx, dz;       // direction from the centre to the sign
    float amplitude;    // sideways swing of its gentle S-bend
};

// One road from the start area to each sign; each swings a little.
const Road ROADS[4] = {{1, 0, 9}, {0, 1, -11}, {-1, 0, 7}, {0, -1, -10}};
const float ROAD_HALF_WIDTH = 3.4f;

struct RoadPoint {
    float distance = 1e9f;
    float across = 0;  // signed offset from the centre line
    float along = 0;   // distance travelled from the centre
    int road = -1;
};

// The nearest road within `reach` (further roads are not measured).
RoadPoint nearestRoad(float x, float z, float reach = 1e9f) {
    RoadPoint best;
    for (int k = 0; k < 4; ++k) {
        const Road& r = ROADS[k];
        float along = x * r.dx + z * r.dz;
        float across = x * -r.dz + z * r.dx;
        if (std::fabs(across) > std::fabs(r.amplitude) + reach || along < -reach ||
            along > TerrainLayout::SIGN_DISTANCE + reach)
            continue;
        float d, offset = across;
        if (along >= 0 && along <= TerrainLayout::SIGN_DISTANCE) {
            // Straight out of the start area, then one gentle S-bend that
            // comes back to the axis at the sign.
            const float bendStart = TerrainLayout::START_RADIUS, bendLength = TerrainLayout::SIGN_DISTANCE - bendStart;
            float phase = along > bendStart ? 2 * PI_F * (along - bendStart) / bendLength : 0.0f;
            float centre = r.amplitude * std::sin(phase);
            float slope = along > bendStart ? r.amplitude * 2 * PI_F / bendLength * std::cos(phase) : 0.0f;
            offset = across - centre;
            d = std::fabs(offset) / std::sqrt(1 + slope * slope);
        } else {
            float ax = along < 0 ? 0 : TerrainLayout::SIGN_DISTANCE;
            d = std::sqrt((along - ax) * (along - ax) + across * across);
        }
        if (d < best.distance) best = {d, offset, along, k};
    }
    return best;
}

float signDistance(float x, float z) {
    const float s = TerrainLayout::SIGN_DISTANCE;
    const float pts[4][2] = {{s, 0}, {-s, 0}, {0, s}, {0, -s}};
    float best = 1e9f;
    for (const auto& p : pts) best = std::min(best, std::hypot(x - p[0], z - p[1]));
    return best;
}

}  // namespace

TerrainLayout::TerrainLayout() : map(static_cast<size_t>(MAP_SIZE) * MAP_SIZE) {
    for (int r = 0; r < MAP_SIZE; ++r)
        for (int c = 0; c < MAP_SIZE; ++c) {
            float h = designHeight(pixelX(c), pixelZ(r));
            map[static_cast<size_t>(r) * MAP_SIZE + c] = static_cast<int>(std::lround(clamp01(h / HEIGHT) * 255));
        }
}

float TerrainLayout::designHeight(float x, float z) const {
    float hills = (fractalNoise(x / 95 + 40, z / 95 + 40, 3, 1234, 0, 0.4f) - 0.5f) * 4.0f;
    float rim = smoothstep(215, 300, std::max(std::fabs(x), std::fabs(z))) * 2.4f;
    float raw = clampf(FLAT_HEIGHT + 0.35f + hills + rim, 0.05f, HEIGHT - 0.05f);
    // Flat ground where the game happens: the start area, the signs, the roads.
    float flat = smoothstep(START_RADIUS + 25, START_RADIUS + 2, std::hypot(x, z));
    flat = std::max(flat, smoothstep(70, 16, signDistance(x, z)));
    flat = std::max(flat, smoothstep(32, ROAD_HALF_WIDTH + 3, nearestRoad(x, z).distance));
    return mixf(raw, FLAT_HEIGHT, flat);
}

float TerrainLayout::mapHeight(float x, float z) const {
    const float step = EXTENT / MAP_SIZE;
    float gx = clampf((x + EXTENT / 2) / step, 0, MAP_SIZE - 1.001f);
    float gz = clampf((z + EXTENT / 2) / step, 0, MAP_SIZE - 1.001f);
    int c = static_cast<int>(gx), r = static_cast<int>(gz);
    float tx = gx - c, tz = gz - r;
    float a = pixel(c, r), b = pixel(c + 1, r), d = pixel(c, r + 1), e = pixel(c + 1, r + 1);
    return mixf(mixf(a, b, tx), mixf(d, e, tx), tz) * HEIGHT / 255;
}

float TerrainLayout::roadDistance(float x, float z) const { return nearestRoad(x, z).distance; }

void TerrainLayout::tileTexelToWorld(int a, int b, int size, int column, int fileRow, float& x, float& z) {
    const int n = SEGMENTS, cells = MAP_SIZE / n;
    const int j = a, i = n - 1 - b;
    const int quadsX = j == n - 1 ? cells - 1 : cells, quadsZ = i == n - 1 ? cells - 1 : cells;
    const float step = EXTENT / MAP_SIZE;
    // Edge texels sit exactly on the segment's border, so that neighbouring
    // tiles show the same colour there.
    const float s = static_cast<float>(column) / (size - 1);
    const float t = 1.0f - static_cast<float>(fileRow) / (size - 1);
    x = (j * cells + s * quadsX) * step - EXTENT / 2;
    z = (i * cells + t * quadsZ) * step - EXTENT / 2;
}

namespace {

const Colour GRASS_DARK = Colour::rgb(0x4F8A2E), GRASS_LIGHT = Colour::rgb(0x86B84A);
const Colour GRASS_DRY = Colour::rgb(0xB2AE5E), MOSS = Colour::rgb(0x3F6F2A);
const Colour DIRT = Colour::rgb(0x8E6E48), ROCK = Colour::rgb(0x8F897C);
const Colour GRAVEL = Colour::rgb(0xB9AA88), ASPHALT = Colour::rgb(0x5A5C60);
const Colour PAINT = Colour::rgb(0xEDEBE0), MARK_YELLOW = Colour::rgb(0xF2C81E);
const Colour SETTS = Colour::rgb(0x8C8A86);

// From the colour a player should see to the texel that gives it under the
// terrain's material (a little darker than designed, as lit ground is).
Colour grade(Colour c) {
    const float seen = 0.92f;
    return Colour(clamp01(c.r * seen / GROUND_LIGHT[0]), clamp01(c.g * seen / GROUND_LIGHT[1]),
                  clamp01(c.b * seen / GROUND_LIGHT[2]), 1);
}

// The smooth layers: meadow colours, dirt and rock, relief shading.
Colour macroColour(const TerrainLayout& t, float x, float z) {
    float g1 = fractalNoise(x / 38, z / 38, 4, 11);
    float g2 = fractalNoise(x / 90, z / 90, 3, 12);
    Colour c = mix(GRASS_DARK, GRASS_LIGHT, smoothstep(0.25f, 0.75f, g1));
    c = mix(c, GRASS_DRY, 0.55f * smoothstep(0.58f, 0.78f, g2));
    c = mix(c, MOSS, 0.5f * smoothstep(0.62f, 0.8f, fractalNoise(x / 25 + 7, z / 25, 3, 13)));
    c = mix(c, DIRT, 0.8f * smoothstep(0.7f, 0.8f, fractalNoise(x / 30 - 3, z / 30, 4, 14)));
    float h = t.mapHeight(x, z);
    float rocky = smoothstep(3.0f, 4.3f, h + 0.8f * (fractalNoise(x / 14, z / 14, 3, 15) - 0.5f));
    c = mix(c, mix(ROCK, DIRT, 0.3f * fractalNoise(x / 6, z / 6, 2, 16)), rocky);
    // Relief: light from high in the north, strengthened so gentle hills show.
    const float e = 1.5f;
    float dhdx = (t.mapHeight(x + e, z) - t.mapHeight(x - e, z)) / (2 * e);
    float dhdz = (t.mapHeight(x, z + e) - t.mapHeight(x, z - e)) / (2 * e);
    Vec3 n = normalized(Vec3(-dhdx, 1, -dhdz));
    Vec3 light = normalized(Vec3(0.3f, 0.7f, -0.65f));
    float shade = 1 + 3.5f * (dot(n, light) - light.y);
    return c.scaled(clampf(shade, 0.65f, 1.3f));
}

// The sharp layers: fine grain, flowers, roads, the start area, markings.
Colour detailColour(float x, float z, Colour c) {
    float grain = valueNoise(x * 1.7f, z * 1.7f, 21);
    float clumps = valueNoise(x * 0.35f, z * 0.35f, 27);  // patches a few units across, seen while driving
    uint32_t cell = hash2(static_cast<int>(std::floor(x * 5)), static_cast<int>(std::floor(z * 5)), 22);
    float speck = static_cast<float>(cell & 255) / 255.0f;
    c = c.scaled(0.8f + 0.2f * grain + 0.22f * clumps + 0.08f * (speck - 0.5f));
    // Meadow flowers where the grass is lush.
    if (((cell >> 8) & 1023) < 4 && fractalNoise(x / 20, z / 20, 2, 23) > 0.6f) {
        const Colour flowers[3] = {Colour::rgb(0xF4F2E8), Colour::rgb(0xF2D43C), Colour::rgb(0xB078D8)};
        c = mix(c, flowers[(cell >> 20) % 3], 0.85f);
    }

    const float r = std::hypot(x, z);
    // Gravel round each sign and on the start plaza.
    float gravel = 0;
    if (std::fabs(std::fabs(x) - TerrainLayout::SIGN_DISTANCE) < 12 || std::fabs(std::fabs(z) - TerrainLayout::SIGN_DISTANCE) < 12)
        gravel = smoothstep(11, 8, signDistance(x, z));
    // A gravel path round the start area, on which its yellow ring is painted.
    gravel = std::max(gravel, smoothstep(1.6f, 1.0f, std::fabs(r - TerrainLayout::START_RADIUS)));
    const float edge = ROAD_HALF_WIDTH;
    RoadPoint road = nearestRoad(x, z, edge + 3);
    if (gravel <= 0 && road.distance > edge + 2.5f && r > TerrainLayout::PLAZA_RADIUS + 1) return grade(c);
    Colour gravelColour = GRAVEL.scaled(0.85f + 0.25f * valueNoise(x * 3, z * 3, 24) + 0.1f * (speck - 0.5f));
    c = mix(c, gravelColour, gravel);

    if (road.distance < edge + 2.5f && r > TerrainLayout::PLAZA_RADIUS - 1) {
        c = mix(c, gravelColour, smoothstep(edge + 2.5f, edge + 1.2f, road.distance));
        Colour tar = ASPHALT.scaled(0.9f + 0.15f * valueNoise(x * 4, z * 4, 25) + 0.12f * (speck - 0.5f));
        tar = tar.scaled(1 - 0.08f * smoothstep(1.5f, 0.6f, std::fabs(std::fabs(road.distance) - 1.6f)));  // wheel tracks
        c = mix(c, tar, smoothstep(edge + 0.15f, edge - 0.15f, road.distance));
        if (road.along > TerrainLayout::START_RADIUS && road.along < TerrainLayout::SIGN_DISTANCE - 8) {
            float dash = std::fmod(road.along, 7.0f) < 3.5f ? 1.0f : 0.0f;
            c = mix(c, PAINT, dash * smoothstep(0.2f, 0.1f, std::fabs(road.across)));
            c = mix(c, PAINT, 0.9f * smoothstep(0.14f, 0.06f, std::fabs(road.distance - (edge - 0.45f))));
        }
    }
    // The paved square in the middle: large stone slabs with faint joints
    // (fine joints would shimmer when seen at a low angle).
    if (r < TerrainLayout::PLAZA_RADIUS + 1) {
        float sx = x / 2.0f, sz = z / 2.0f;
        float joint = std::min(std::fabs(sx - std::round(sx)), std::fabs(sz - std::round(sz)));
        uint32_t slab = hash2(static_cast<int>(std::floor(sx)), static_cast<int>(std::floor(sz)), 26);
        Colour stone = SETTS.scaled(0.9f + 0.15f * static_cast<float>(slab & 255) / 255.0f + 0.1f * (grain - 0.5f));
        stone = mix(stone.scaled(0.85f), stone, smoothstep(0.01f, 0.04f, joint));
        c = mix(c, stone, smoothstep(TerrainLayout::PLAZA_RADIUS + 0.8f, TerrainLayout::PLAZA_RADIUS, r));
        c = mix(c, PAINT, 0.9f * smoothstep(0.25f, 0.12f, std::fabs(r - (TerrainLayout::PLAZA_RADIUS - 0.8f))));
    }
    // The start/finish ring (dashed) and a chequered line on the north road.
    if (std::fabs(r - TerrainLayout::START_RADIUS) < 0.5f) {
        float ringDash = std::fmod(std::atan2(z, x) * TerrainLayout::START_RADIUS + 1000, 3.0f) < 1.8f ? 1.0f : 0.0f;
        c = mix(c, MARK_YELLOW, ringDash * smoothstep(0.45f, 0.3f, std::fabs(r - TerrainLayout::START_RADIUS)));
    }
    const int NORTH_ROAD = 3;
    if (road.road == NORTH_ROAD && std::fabs(road.across) < edge && road.along > TerrainLayout::START_RADIUS - 0.5f &&
        road.along < TerrainLayout::START_RADIUS + 2.5f) {
        int check = (static_cast<int>(std::floor(road.across / 0.85f + 100)) + static_cast<int>(std::floor(road.along / 0.85f))) & 1;
        c = mix(c, check ? Colour::rgb(0x1A1A1C) : PAINT, 0.95f);
    }
    return grade(c);
}

Canvas drawTile(const TerrainLayout& layout, int a, int b) {
    const int s = TILE_SIZE, g = (s - 1) / MACRO_STEP + 2;
    // Smooth layers on a coarse grid whose corners meet the tile's edges.
    std::vector<Colour> macro(static_cast<size_t>(g) * g);
    // The tile's corner texels, between which every texel lies linearly.
    float x0, z0, x1, z1;
    TerrainLayout::tileTexelToWorld(a, b, s, 0, 0, x0, z0);
    TerrainLayout::tileTexelToWorld(a, b, s, s - 1, s - 1, x1, z1);
    for (int gy = 0; gy < g; ++gy)
        for (int gx = 0; gx < g; ++gx) {
            float fx = std::min(static_cast<float>(gx) / (g - 1), 1.0f), fy = std::min(static_cast<float>(gy) / (g - 1), 1.0f);
            macro[static_cast<size_t>(gy) * g + gx] = macroColour(layout, mixf(x0, x1, fx), mixf(z0, z1, fy));
        }
    Canvas tile(s, s);
    for (int row = 0; row < s; ++row)
        for (int col = 0; col < s; ++col) {
            float fx = static_cast<float>(col) / (s - 1) * (g - 1), fy = static_cast<float>(row) / (s - 1) * (g - 1);
            int ix = std::min(static_cast<int>(fx), g - 2), iy = std::min(static_cast<int>(fy), g - 2);
            float tx = fx - ix, ty = fy - iy;
            Colour m = mix(mix(macro[static_cast<size_t>(iy) * g + ix], macro[static_cast<size_t>(iy) * g + ix + 1], tx),
                           mix(macro[static_cast<size_t>(iy + 1) * g + ix], macro[static_cast<size_t>(iy + 1) * g + ix + 1], tx), ty);
            float x = mixf(x0, x1, static_cast<float>(col) / (s - 1));
            float z = mixf(z0, z1, static_cast<float>(row) / (s - 1));
            tile.set(col, row, detailColour(x, z, m));
        }
    return tile;
}

// The ground's grain: a seamless greyscale pattern around mid-grey (grit,
// small stones and fine speckle), which the game lays over the near tiles
// (a texel v scales the tile's colour by v / 128). Its mean is moved to
// exactly mid-grey so that the ground keeps its brightness on average.
Canvas drawDetail() {
    const int s = DETAIL_SIZE;
    std::vector<float> value(static_cast<size_t>(s) * s);
    double sum = 0;
    for (int row = 0; row < s; ++row)
        for (int col = 0; col < s; ++col) {
            float grit = fractalNoise(col / 4.0f, row / 4.0f, 3, 0xD37A11u, s / 4) - 0.5f;
            float stones = smoothstep(0.62f, 0.72f, valueNoise(col / 8.0f, row / 8.0f, 0x5A0E5u, s / 8));
            float speck = static_cast<float>(hash2(col, row, 0xC0FFEEu) & 0xFFFF) / 65535.0f - 0.5f;
            float v = 0.4f * grit + 0.14f * speck - 0.16f * stones;
            value[static_cast<size_t>(row) * s + col] = v;
            sum += v;
        }
    const float mean = static_cast<float>(sum / value.size());
    Canvas detail(s, s);
    for (int row = 0; row < s; ++row)
        for (int col = 0; col < s; ++col) {
            float v = std::clamp(128.0f / 255.0f + value[static_cast<size_t>(row) * s + col] - mean, 0.0f, 1.0f);
            detail.set(col, row, Colour(v, v, v, 1));
        }
    return detail;
}

}  // namespace

Colour TerrainLayout::surface(float x, float z) const { return detailColour(x, z, macroColour(*this, x, z)); }

void writeTerrain(AssetSink& sink) {
    const TerrainLayout layout;
    Canvas heightmap(TerrainLayout::MAP_SIZE, TerrainLayout::MAP_SIZE);
    for (int r = 0; r < TerrainLayout::MAP_SIZE; ++r)
        for (int c = 0; c < TerrainLayout::MAP_SIZE; ++c) {
            float v = layout.pixel(c, r) / 255.0f;
            heightmap.set(c, TerrainLayout::MAP_SIZE - 1 - r, Colour(v, v, v, 1));  // canvas row 0 is the top
        }
    sink.write("terrain/heightmap.png", heightmap.greyPng());
    sink.preview("terrain/heightmap.png", heightmap, 256);
    Canvas detail = drawDetail();
    sink.write("terrain/detail.png", detail.greyPng());
    sink.preview("terrain/detail.png", detail, 128);

    // Tiles are independent, so two threads share them (the output does
    // not depend on which thread drew a tile).
    auto work = [&](int first) {
        for (int index = first; index < TerrainLayout::SEGMENTS * TerrainLayout::SEGMENTS; index += 2) {
            int a = index % TerrainLayout::SEGMENTS, b = index / TerrainLayout::SEGMENTS;
            Canvas tile = drawTile(layout, a, b);
            std::string name = "terrain/terrain_" + std::to_string(a) + "_" + std::to_string(b) + ".jpg";
            sink.write(name, tile.jpg(85));
            sink.preview(name, tile, 128);
        }
    };
    std::thread helper(work, 1);
    work(0);
    helper.join();
    writeTerrainMap(sink, layout);
}

}  // namespace assetgen
