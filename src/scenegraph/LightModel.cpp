#include "scenegraph/LightModel.h"

#include <GL/glew.h>

#include <cstdio>

FloatArray LightModel::DEFAULT_AMBIENT_COLOR;
bool LightModel::staticsInitiated = false;

LightModel::LightModel() {
    if (!staticsInitiated) {
        staticsInitiated = true;
        DEFAULT_AMBIENT_COLOR = Utilities<float>::createArray(0.2f, 0.2f, 0.2f, 1.0f);
    }
    ambientColor = DEFAULT_AMBIENT_COLOR;
}

void LightModel::setAmbientColor(float r, float g, float b, float alpha) {
    ambientColor = Utilities<float>::createArray(r, g, b, alpha);
    paramsChanged = true;
}

void LightModel::useLocalViewer(bool on) {
    localViewer = on;
    paramsChanged = true;
}

void LightModel::useTwoSidedLighting(bool on) {
    twoSided = on;
    paramsChanged = true;
}

void LightModel::useSecondarySpecularColor(bool on) {
    secondarySpecular = on;
    paramsChanged = true;
}

void LightModel::switchOn() {
    activated = true;
    paramsChanged = true;
}

void LightModel::switchOff() {
    activated = false;
    paramsChanged = true;
}

void LightModel::update() {
    if (!paramsChanged) return;
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientColor.get());
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, localViewer ? 1 : 0);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSided ? 1 : 0);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, secondarySpecular ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
    if (activated) glEnable(GL_LIGHTING);
    else glDisable(GL_LIGHTING);
    paramsChanged = false;
}

void LightModel::print() {
    std::printf("\n   activated:          %d", activated ? 1 : 0);
    std::printf("\n   local viewer:       %d", localViewer ? 1 : 0);
    std::printf("\n   two sided lighting: %d", twoSided ? 1 : 0);
    std::printf("\n   secondary specular: %d", secondarySpecular ? 1 : 0);
    std::printf("\n   ambient color:      ");
    Utilities<float>::printArray4(ambientColor.get(), "%.3f, %.3f, %.3f, %.3f");
}
