#pragma once
#include "assets/Billboard.h"

// The glow the level puts round things the player can drive into: a
// billboard with the halo picture, coloured by its material's emission.
//
// A halo as large as a whole area (the start/finish area) would cover the
// screen with haze while the eye stands inside it, and a glow seen from
// within shows nothing useful. So a halo fades with the eye's distance d
// from its centre: full beyond its size (the scale, a diameter), nothing
// inside half of it, linear in between.
class Halo : public Billboard {
public:
    explicit Halo(const char* nodeDescription);

    void finalize() override {}
    void executeDisplayList() override;

    // Glows in one colour (emission r, g, b) with the given alpha; the other
    // colours are black so that only the glow shows.
    void glow(float r, float g, float b, float alpha);

    // The share of the halo's alpha shown at eye distance d for a halo of
    // the given size: 0 for d <= size / 2, 1 for d >= size.
    static float fadeByDistance(float d, float size);
};
