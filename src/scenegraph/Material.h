#pragma once
#include <memory>

#include "math/Utilities.h"

// Fixed-function surface description loaded before a node's geometry. Its
// transparency decides in which pass the node is drawn. A default material
// shares the class-wide default arrays: give it arrays of its own
// (Utilities<float>::createArray) before changing one material alone.
class Material {
public:
    Material();

    void load() const;
    void setTransparency(float alpha);
    bool evalTransparency();
    bool isTransparent() const { return transparent; }
    void print() const;

    const char* name = "<not set>";
    FloatArray ambient;
    FloatArray diffuse;
    FloatArray specular;
    FloatArray emission;
    FloatArray shininess;

    static FloatArray noMaterial;
    static FloatArray noShininess;
    static FloatArray lowShininess;
    static FloatArray highShininess;
    static FloatArray fullSpecular;
    static FloatArray defaultAmbientColor;
    static FloatArray defaultDiffuseColor;
    static FloatArray defaultSpecularColor;
    static FloatArray defaultEmissionColor;
    static FloatArray defaultShininess;
    static std::shared_ptr<Material> defaultMaterial;

private:
    static void initStatics();
    static bool staticsInitiated;
    bool transparent = false;
};
