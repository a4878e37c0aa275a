// Clouds, the sky dome's picture and the chalet's textures. Textures that
// repeat over a surface tile seamlessly (periodic noise).
#include <cmath>

#include "Noise.h"
#include "Pictures.h"
#include "Sky.h"

namespace assetgen {

// White clouds whose alpha is their density; repeats in both directions.
Canvas drawClouds() {
    const int size = 512, period = 6;
    Canvas c(size, size, Colour(1, 1, 1, 0));
    c.paint([&](float x, float y) {
        float u = x / size * period, v = y / size * period;
        float n = fractalNoise(u, v, 6, 2024, period, 0.55f);
        float density = smoothstep(0.47f, 0.78f, n);
        // Thicker parts are a little greyer: they are seen from below.
        float shade = 1 - 0.28f * smoothstep(0.55f, 0.9f, n);
        return Colour(shade, shade, shade * 1.02f, density * 0.95f);
    });
    return c;
}

namespace {

// Elevation (degrees) of a mountain crest at azimuth u (0..1 round the
// horizon); repeats at u = 1. Ridged noise gives sharp peaks.
float crest(float u, uint32_t seed, float low, float high, int period) {
    float peaks = std::pow(ridgedNoise(u * period, 0.5f, 5, seed, period), 1.6f);
    float swell = fractalNoise(u * period / 3.0f, 7.5f, 3, seed + 3, period / 3);
    return low + (high - low) * (0.7f * peaks + 0.3f * swell);
}

}  // namespace

// The sky round the dome: u is the azimuth, the picture's rows run from the
// zenith (top) to 30 degrees below the horizon (bottom). Alps stand on the
// horizon, forested hills before them; the sun glows at its place in the
// north.
Canvas drawSky() {
    const int w = 2048, h = 1024;
    Canvas c(w, h);
    const Colour zenith = Colour::rgb(0x2A62C4), high = Colour::rgb(0x5C93DE), horizon = Colour::rgb(0xD6E6F2);
    const Colour sunGlow(1.0f, 0.93f, 0.75f, 1);
    const Colour rockLight = Colour::rgb(0x9AAAC4), rockDark = Colour::rgb(0x5E6E8A), snow = Colour::rgb(0xF4F7FC);
    const Colour forest = Colour::rgb(0x42604F), land = Colour::rgb(0x5E7F4C);
    // The crests, snow lines and hills depend on the azimuth only.
    std::vector<float> alps(w), snowLine(w), hills(w);
    for (int x = 0; x < w; ++x) {
        float u = (x + 0.5f) / w;
        alps[x] = crest(u, 11, 1.5f, 15.0f, 16);
        snowLine[x] = 7.0f + 2.0f * fractalNoise(u * 40, 2.5f, 3, 5, 40);
        hills[x] = crest(u + 0.37f, 23, 0.4f, 3.2f, 24);
    }
    c.paint([&](float x, float y) {
        const int column = static_cast<int>(x);
        float u = x / w, v = 1 - y / h;
        float e = skyElevationOfV(v);
        // Sky: a gradient from the horizon haze up to deep blue.
        Colour col = e > 20 ? mix(high, zenith, smoothstep(20, 90, e)) : mix(horizon, high, smoothstep(0, 20, e));
        float du = std::remainder(u - SUN_U, 1.0f) * 360 * std::cos(SUN_ELEVATION * PI_F / 180);
        float dist = std::sqrt(du * du + (e - SUN_ELEVATION) * (e - SUN_ELEVATION));
        col = mix(col, sunGlow, 0.75f * std::exp(-dist / 9) + 0.25f * std::exp(-dist / 40));
        if (e < alps[column]) {
            // Rock with gullies, lighter high up, snow on the peaks and in
            // streaks just below the snow line; haze towards the foot.
            float gully = ridgedNoise(u * 220, e * 0.9f, 3, 31, 220);
            Colour rock = mix(rockDark, rockLight, 0.35f + 0.5f * gully);
            float snowy = smoothstep(snowLine[column] - 0.3f, snowLine[column] + 0.3f, e);
            float streak = smoothstep(0.55f, 0.75f, gully) * smoothstep(snowLine[column] - 3, snowLine[column], e);
            col = mix(rock, snow, std::max(snowy, streak * 0.9f));
            col = mix(col, horizon, 0.45f * (1 - smoothstep(0, 6, e)) + 0.15f);
        }
        if (e < hills[column]) {
            float tree = valueNoise(u * 900, e * 6, 41);
            col = mix(forest.scaled(0.85f + 0.3f * tree), horizon, 0.3f * (1 - smoothstep(0, 3, e)));
        }
        // Below the horizon: distant meadows fading into haze.
        if (e < 0) {
            Colour ground = mix(forest, land, smoothstep(-1, -10, e));
            col = mix(ground, horizon, 0.3f * (1 - smoothstep(-1, -15, e)));
        }
        return col;
    });
    return c;
}

namespace {

float plankGrain(float x, float y, uint32_t seed, int periodX) {
    return fractalNoise(x / 48.0f, y / 3.0f, 4, seed, periodX / 48);
}

}  // namespace

// Horizontal wooden boards, warm brown, repeating.
Canvas drawWood() {
    const int s = 256, boards = 8;
    Canvas c(s, s);
    c.paint([&](float x, float y) {
        int board = static_cast<int>(y / (s / boards));
        float inBoard = std::fmod(y, static_cast<float>(s / boards)) / (s / boards);
        float tone = 0.85f + 0.3f * (static_cast<float>(hash2(board, 0, 5) & 255) / 255.0f);
        float grain = plankGrain(x, y, 31 + board, s);
        Colour wood = mix(Colour::rgb(0x7A4A22), Colour::rgb(0xA8703A), grain).scaled(tone);
        float gap = smoothstep(0.06f, 0.0f, inBoard) + smoothstep(0.94f, 1.0f, inBoard);
        return mix(wood, Colour::rgb(0x2C1A0C), clamp01(gap) * 0.85f).withAlpha(1);
    });
    return c;
}

// Rows of staggered wooden shingles, weathered grey-brown.
Canvas drawShingles() {
    const int s = 256, rows = 8, perRow = 6;
    Canvas c(s, s);
    const float rh = static_cast<float>(s) / rows, sw = static_cast<float>(s) / perRow;
    c.paint([&](float x, float y) {
        int row = static_cast<int>(y / rh);
        float offset = (row % 2) * sw * 0.5f;
        float xs = std::fmod(x + offset, static_cast<float>(s));
        int col = static_cast<int>(xs / sw);
        float inX = std::fmod(xs, sw) / sw, inY = std::fmod(y, rh) / rh;
        float tone = 0.8f + 0.35f * (static_cast<float>(hash2(col, row, 9) & 255) / 255.0f);
        float grain = fractalNoise(x / 6.0f, y / 40.0f, 3, 77, s / 6);
        Colour shingle = mix(Colour::rgb(0x5A4636), Colour::rgb(0x7E6650), grain).scaled(tone);
        // The lower edge of each shingle casts a shadow on the row below.
        float shadow = smoothstep(0.75f, 1.0f, inY) * 0.45f + smoothstep(0.05f, 0.0f, inX) * 0.6f +
                       smoothstep(0.95f, 1.0f, inX) * 0.6f;
        return shingle.scaled(1 - clamp01(shadow)).withAlpha(1);
    });
    return c;
}

// Off-white lime plaster with a faint texture.
Canvas drawPlaster() {
    const int s = 256;
    Canvas c(s, s);
    c.paint([&](float x, float y) {
        float n = fractalNoise(x / 32.0f, y / 32.0f, 5, 404, s / 32);
        float speck = static_cast<float>(hash2(static_cast<int>(x), static_cast<int>(y), 3) & 255) / 255.0f;
        float v = 0.9f + 0.08f * (n - 0.5f) + 0.03f * (speck - 0.5f);
        return Colour(v, v * 0.985f, v * 0.95f, 1);
    });
    return c;
}

// Rough grey field stones in mortar (cells around jittered points).
Canvas drawStone() {
    const int s = 256, cells = 6;
    const float cellSize = static_cast<float>(s) / cells;
    Canvas c(s, s);
    c.paint([&](float x, float y) {
        float best = 1e9f, second = 1e9f;
        uint32_t id = 0;
        int cx = static_cast<int>(x / cellSize), cy = static_cast<int>(y / cellSize);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int gx = cx + dx, gy = cy + dy;
                int wx = ((gx % cells) + cells) % cells, wy = ((gy % cells) + cells) % cells;
                uint32_t hsh = hash2(wx, wy, 17);
                float px = (gx + 0.2f + 0.6f * (hsh & 255) / 255.0f) * cellSize;
                float py = (gy + 0.2f + 0.6f * ((hsh >> 8) & 255) / 255.0f) * cellSize * 1.0f;
                float d = std::sqrt((x - px) * (x - px) * 0.7f + (y - py) * (y - py) * 1.3f);
                if (d < best) {
                    second = best;
                    best = d;
                    id = hsh;
                } else if (d < second) {
                    second = d;
                }
            }
        float edge = second - best;
        float tone = 0.75f + 0.35f * ((id >> 16) & 255) / 255.0f;
        float n = fractalNoise(x / 16.0f, y / 16.0f, 3, 8, s / 16);
        Colour stone = mix(Colour::rgb(0x7C7A74), Colour::rgb(0xA8A49A), n).scaled(tone);
        return mix(Colour::rgb(0x4A4640), stone, smoothstep(1.5f, 5.0f, edge)).withAlpha(1);
    });
    return c;
}

}  // namespace assetgen
