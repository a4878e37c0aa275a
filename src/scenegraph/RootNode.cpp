#include "scenegraph/RootNode.h"

#include <GL/glew.h>

#include <cstdio>

#include "scenegraph/SampleCounter.h"

RootNode::RootNode(const char* desc) : ScenegraphNode(desc) {
    typeName = "RootNode";
    skyElementsRoot = std::make_shared<GeometryNode>("sky elements root");
    skyElementsRoot->alwaysVisible = true;
    skyElementsRoot->useOwnTransform = true;
    addChild(skyElementsRoot);
    camera = std::make_shared<CameraNode>(skyElementsRoot, "Default Cam");
    lightModel = std::make_shared<LightModel>();
}

void RootNode::finalize() {
    camera->finalize();
    ScenegraphNode::finalize();
}

void RootNode::physicAllocate() {
    camera->physicAllocate();
    ScenegraphNode::physicAllocate();
}

void RootNode::physicRelease() {
    camera->physicRelease();
    ScenegraphNode::physicRelease();
}

void RootNode::enableBoundingBoxPainting(bool active) {
    ScenegraphNode::enableBoundingBoxPainting(active);
    camera->enableBoundingBoxPainting(active);
}

void RootNode::paintEventSpheres(bool active) {
    ScenegraphNode::paintEventVolumes(active);
    camera->paintEventVolumes(active);
}

void RootNode::paintWorld() { paintLayers(Layers::WORLD); }
void RootNode::paintScreen() { paintLayers(Layers::SCREEN); }

void RootNode::paintLayers(Layers which) {
    layers = which;
    paint();
    layers = Layers::ALL;
}

void RootNode::performOperations() {
    const RenderStates state = getRenderState();
    if (state == OPAQUE_PASS || state == SINGLE_PASS) lightModel->update();
    camera->performOperations();  // leaves the view matrix pushed
    if (layers != Layers::SCREEN) performWorld();
    if (layers != Layers::WORLD) performScreen();
    glPopMatrix();
}

void RootNode::performWorld() {
    // With detail savings the sky elements come first in the opaque pass (the
    // sun's light is placed before anything lit), but a background (the sky
    // dome) waits for a second visit after all other opaque surfaces: at the
    // far plane it then fills only the samples they left empty.
    const bool skyFirst = getRenderState() == OPAQUE_PASS && detailSavings;
    if (skyFirst) skyElementsRoot->performOperations();
    for (const NodePtr& child : children)
        if ((!skyFirst || child != skyElementsRoot) && !child->pinnedToScreen()) child->performOperations();
    if (skyFirst) paintBackground();
}

// The HUD's pictures go over the whole world, the sky's lens flare
// included: the flare is drawn without the depth test, as they are.
void RootNode::performScreen() {
    SampleCounter::Scope hud(SampleCounter::HUD);
    for (const NodePtr& child : children)
        if (child->pinnedToScreen()) child->performOperations();
}

// The background's visit, in a scissor box above the rows the ground covers.
void RootNode::paintBackground() {
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Ground drawn as lines (wireframe) covers nothing: the sky is drawn whole behind it.
    GLint polygonMode[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    const int hidden = polygonMode[0] == GL_FILL ? groundCover.hiddenRows(modelview, projection, viewport) : 0;
    if (hidden > 0) {
        glPushAttrib(GL_SCISSOR_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(viewport[0], viewport[1] + hidden, viewport[2], viewport[3] - hidden);
    }
    GeometryNode::backgroundTurn = true;
    skyElementsRoot->performOperations();
    GeometryNode::backgroundTurn = false;
    if (hidden > 0) glPopAttrib();
}

void RootNode::print() {
    ScenegraphNode::print();
    std::printf("\n LightModel:");
    std::printf("\n -----------");
    lightModel->print();
    std::printf("\n Game Objects:");
    std::printf("\n -------------");
    camera->printAll();
    std::printf("\n\n Scene Objects:");
    std::printf("\n --------------");
}
