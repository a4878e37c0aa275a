#include "scenegraph/LightNode.h"

#include <cstdio>

FloatArray LightNode::INITIAL_POSITION;
bool LightNode::staticsInitiated = false;

LightNode::LightNode(GLenum nr, const char* desc) : ScenegraphNode(desc), lightNr(nr) {
    typeName = "LightNode";
    if (!staticsInitiated) {
        staticsInitiated = true;
        INITIAL_POSITION = Utilities<float>::createArray(0, 0, 1, 0);
    }
    lightPosition = INITIAL_POSITION;
}

void LightNode::setLightPosition(float x, float y, float z, float a) {
    lightPosition = Utilities<float>::createArray(x, y, z, a);
}

void LightNode::switchOn() {
    on = true;
    paramsChanged = true;
}

void LightNode::switchOff() {
    on = false;
    paramsChanged = true;
}

Point LightNode::getPosition() const {
    Point p;
    p.x = lightPosition[0];
    p.y = lightPosition[1];
    p.z = lightPosition[2];
    p.w = 1.0;
    return currentMatrix->transformPoint(p);
}

void LightNode::loadCurrentMatrix() { glGetFloatv(GL_MODELVIEW_MATRIX, currentMatrix->m); }

void LightNode::performOperations() {
    const RenderStates state = getRenderState();
    if ((state == OPAQUE_PASS || state == SINGLE_PASS) && drawMode != 3) draw();
    processChildren();
}

void LightNode::executeDisplayList() {
    if (paramsChanged) {
        if (on) glEnable(lightNr);
        else glDisable(lightNr);
        paramsChanged = false;
    }
    loadCurrentMatrix();
    glLightfv(lightNr, GL_POSITION, lightPosition.get());
}

void LightNode::print() {
    ScenegraphNode::print();
    std::printf("\n   initial light position: (");
    Utilities<float>::printArray4(lightPosition.get(), "%.5f %.5f %.5f %.5f");
    std::printf(")\n   active MODELVIEW matrix:");
    const float* m = currentMatrix->m;
    for (int r = 0; r < 4; ++r)
        std::printf("\n       |%+.5f %+.5f %+.5f %+.5f|", m[r], m[r + 4], m[r + 8], m[r + 12]);
    std::printf("\n   light orientation vectors:");
    const Point p = getPosition();
    std::printf("\n      position:  (%+.5f, %+.5f, %+.5f)", p.x, p.y, p.z);
}
