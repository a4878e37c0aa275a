#pragma once
#include <memory>

#include "animation/Animation.h"
#include "scenegraph/Material.h"

// Swings the alpha of a material between alphaStart and alphaEnd, a given
// number of turns or for ever. One full swing (start to end and back) takes
// 4 / glowsPerSecond seconds and counts two turns. The alpha may overshoot an
// end by one frame's step; a billboard faded to 0 or below switches itself off.
class AlphaGlow : public Animation {
public:
    static constexpr int INFINITE_GLOWS = -1;

    AlphaGlow(std::shared_ptr<Material> obj, float glowsPerSecond, int nrOfGlows, float alphaStart, float alphaEnd);

    // elapsedTime in seconds.
    void animate(double elapsedTime) override;
    void reset() { glowCount = 0; }

    int glowCount = 0;  // turns made so far
    bool rising = true;
    std::shared_ptr<Material> obj;  // the material whose alpha swings
    bool active = true;
    float alphaStart;
    float alphaEnd;
    float glowsPerSecond;
    int nrOfGlows;  // turns to make, or INFINITE_GLOWS
};
