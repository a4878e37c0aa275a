#include "Noise.h"

#include <cmath>

namespace assetgen {

uint64_t Random::next() {
    // splitmix64
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Random::uniform() { return static_cast<float>(next() >> 40) / static_cast<float>(1ull << 24); }

float Random::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

int Random::below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

uint32_t hash2(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2du ^ static_cast<uint32_t>(x) * 0x85ebca6bu ^ static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

namespace {

float lattice(int x, int y, uint32_t seed, int period) {
    if (period > 0) {
        x %= period;
        y %= period;
        if (x < 0) x += period;
        if (y < 0) y += period;
    }
    return static_cast<float>(hash2(x, y, seed) & 0xffffff) / static_cast<float>(0xffffff);
}

float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

float valueNoise(float x, float y, uint32_t seed, int period) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = fade(x - fx), ty = fade(y - fy);
    float a = lattice(ix, iy, seed, period), b = lattice(ix + 1, iy, seed, period);
    float c = lattice(ix, iy + 1, seed, period), d = lattice(ix + 1, iy + 1, seed, period);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fractalNoise(float x, float y, int octaves, uint32_t seed, int period, float gain) {
    float sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, seed + 1013u * o, period);
        norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / norm;
}

float ridgedNoise(float x, float y, int octaves, uint32_t seed, int period) {
    float sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        float n = 1 - std::fabs(valueNoise(x, y, seed + 7919u * o, period) * 2 - 1);
        sum += amplitude * n * n;
        norm += amplitude;
        amplitude *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / norm;
}

}  // namespace assetgen
