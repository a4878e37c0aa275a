#include "assets/Halo.h"

Halo::Halo(const char* desc) : Billboard("images/objecthalo.png", true, desc) { typeName = "Halo"; }

void Halo::glow(float r, float g, float b, float alpha) {
    material->ambient = Utilities<float>::createArray(0, 0, 0, 0);
    material->diffuse = Utilities<float>::createArray(0, 0, 0, 0);
    material->specular = Utilities<float>::createArray(0, 0, 0, 0);
    material->emission = Utilities<float>::createArray(r, g, b, 0);
    material->setTransparency(alpha);
}
