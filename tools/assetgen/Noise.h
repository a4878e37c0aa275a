// Deterministic randomness: a small generator and smooth value noise.
// Nothing here depends on the standard library's distributions, whose
// results differ between implementations.
#pragma once

#include <cstdint>

namespace assetgen {

class Random {
public:
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t next();
    float uniform();                   // [0, 1)
    float range(float lo, float hi);   // [lo, hi)
    int below(int n);                  // 0 .. n-1

private:
    uint64_t state;
};

uint32_t hash2(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1]; with period > 0 it repeats every `period`
// units in x and y (for seamlessly tiling pictures).
float valueNoise(float x, float y, uint32_t seed, int period = 0);

// Fractal sum of octaves of value noise, normalised to [0, 1].
float fractalNoise(float x, float y, int octaves, uint32_t seed, int period = 0, float gain = 0.5f);

// Ridged variant (sharp crests), for rock and mountain shapes.
float ridgedNoise(float x, float y, int octaves, uint32_t seed, int period = 0);

}  // namespace assetgen
