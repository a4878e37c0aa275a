#include "scenegraph/Material.h"

#include <GL/glew.h>

#include <cstdio>

bool Material::staticsInitiated = false;
FloatArray Material::noMaterial;
FloatArray Material::noShininess;
FloatArray Material::lowShininess;
FloatArray Material::highShininess;
FloatArray Material::fullSpecular;
FloatArray Material::defaultAmbientColor;
FloatArray Material::defaultDiffuseColor;
FloatArray Material::defaultSpecularColor;
FloatArray Material::defaultEmissionColor;
FloatArray Material::defaultShininess;
std::shared_ptr<Material> Material::defaultMaterial;

void Material::initStatics() {
    // Set first: building defaultMaterial below runs this constructor again.
    staticsInitiated = true;
    noMaterial = Utilities<float>::createArray(0, 0, 0, 1);
    noShininess = Utilities<float>::createArray(0);
    lowShininess = Utilities<float>::createArray(5);
    highShininess = Utilities<float>::createArray(100);
    fullSpecular = Utilities<float>::createArray(1, 1, 1, 1);
    defaultAmbientColor = Utilities<float>::createArray(0.2f, 0.2f, 0.2f, 1);
    defaultDiffuseColor = Utilities<float>::createArray(0.8f, 0.8f, 0.8f, 1);
    defaultSpecularColor = Utilities<float>::createArray(0, 0, 0, 1);
    defaultEmissionColor = Utilities<float>::createArray(0, 0, 0, 1);
    defaultShininess = Utilities<float>::createArray(0);
    defaultMaterial = std::make_shared<Material>();
}

Material::Material() {
    if (!staticsInitiated) initStatics();
    ambient = defaultAmbientColor;
    diffuse = defaultDiffuseColor;
    specular = defaultSpecularColor;
    emission = defaultEmissionColor;
    shininess = defaultShininess;
    evalTransparency();
}

void Material::load() const {
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient.get());
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse.get());
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular.get());
    glMaterialfv(GL_FRONT, GL_EMISSION, emission.get());
    glMaterialfv(GL_FRONT, GL_SHININESS, shininess.get());
}

void Material::setTransparency(float alpha) {
    ambient[3] = alpha;
    diffuse[3] = alpha;
    specular[3] = alpha;
    emission[3] = alpha;
    evalTransparency();
}

bool Material::evalTransparency() {
    transparent = diffuse[3] * ambient[3] * specular[3] * emission[3] < 1.0f;
    return transparent;
}

void Material::print() const {
    std::printf("\n   Material: %s", name);
    const char* labels[4] = {"\n      ambient color:  (", "\n      diffuse color:  (", "\n      specular color: (",
                             "\n      emissive color: ("};
    const float* colors[4] = {ambient.get(), diffuse.get(), specular.get(), emission.get()};
    for (int i = 0; i < 4; ++i) {
        std::printf("%s", labels[i]);
        Utilities<float>::printArray4(colors[i], "%.5f %.5f %.5f %.5f");
        std::printf(")");
    }
    std::printf("\n      shininess:      (");
    Utilities<float>::printArray1(shininess.get(), "%.5f");
    std::printf(")");
}
