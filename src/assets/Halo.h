#pragma once
#include "assets/Billboard.h"

// The glow the level puts round things the player can drive into: a
// billboard with the halo picture, coloured by its material's emission.
class Halo : public Billboard {
public:
    explicit Halo(const char* nodeDescription);

    void finalize() override {}

    // Glows in one colour (emission r, g, b) with the given alpha; the other
    // colours are black so that only the glow shows.
    void glow(float r, float g, float b, float alpha);
};
