#include "assets/Halo.h"

#include <algorithm>
#include <array>
#include <cmath>

Halo::Halo(const char* desc) : Billboard("images/objecthalo.png", true, desc) { typeName = "Halo"; }

void Halo::glow(float r, float g, float b, float alpha) {
    material->ambient = Utilities<float>::createArray(0, 0, 0, 0);
    material->diffuse = Utilities<float>::createArray(0, 0, 0, 0);
    material->specular = Utilities<float>::createArray(0, 0, 0, 0);
    material->emission = Utilities<float>::createArray(r, g, b, 0);
    material->setTransparency(alpha);
}

float Halo::fadeByDistance(float d, float size) {
    const float half = std::fabs(size) * 0.5f;
    if (half <= 0.0f) return 1.0f;
    return std::clamp((d - half) / half, 0.0f, 1.0f);
}

void Halo::executeDisplayList() {
    if (overlay) {
        Billboard::executeDisplayList();
        return;
    }
    // The eye-space position of the last opaque pass: its length is the eye's distance.
    const float* m = currentMatrix->m;
    const float fade = fadeByDistance(std::sqrt(m[12] * m[12] + m[13] * m[13] + m[14] * m[14]), scaleX);
    if (fade <= 0.0f || !active) return;
    // Draw with the faded alpha, then give the material its own alpha back,
    // so that the billboard's own rule (alpha 0 switches it off) never sees the fade.
    const std::array<float, 4> alphas = {material->ambient[3], material->diffuse[3], material->specular[3],
                                         material->emission[3]};
    material->ambient[3] *= fade;
    material->diffuse[3] *= fade;
    material->specular[3] *= fade;
    material->emission[3] *= fade;
    Billboard::executeDisplayList();
    material->ambient[3] = alphas[0];
    material->diffuse[3] = alphas[1];
    material->specular[3] = alphas[2];
    material->emission[3] = alphas[3];
}
