#include "assets/AlphaGlow.h"

AlphaGlow::AlphaGlow(std::shared_ptr<Material> material, float perSecond, int glows, float start, float end)
    : obj(std::move(material)), alphaStart(start), alphaEnd(end), glowsPerSecond(perSecond), nrOfGlows(glows) {}

void AlphaGlow::animate(double elapsedTime) {
    if (!active || !obj) return;
    if (nrOfGlows != INFINITE_GLOWS && glowCount >= nrOfGlows) return;
    const float s = rising ? 1.0f : -1.0f;
    float a = obj->diffuse[3] +
              (alphaEnd - alphaStart) * glowsPerSecond * static_cast<float>(elapsedTime) * s * 0.5f;
    obj->setTransparency(a);
    if (a > alphaEnd) {
        a = 2 * alphaEnd - a;  // only for the turn test below: the material keeps its value
        rising = false;
        ++glowCount;
    }
    if (a < alphaStart) {
        rising = true;
        ++glowCount;
    }
}
