#pragma once
#include <GL/glew.h>
#include <GL/glu.h>

#include <memory>
#include <vector>

#include "math/Utilities.h"
#include "scenegraph/BoxNode.h"
#include "scenegraph/GeometryNode.h"
#include "scenegraph/RootNode.h"
#include "scenegraph/ScenegraphNode.h"
#include "support/GlTestWindow.h"

// A geometry node that records the pass of every draw of its geometry.
class PassRecorder : public BoxNode {
public:
    explicit PassRecorder(const char* desc) : BoxNode(desc) {}
    void executeDisplayList() override {
        passes.push_back(getRenderState());
        BoxNode::executeDisplayList();
    }
    std::vector<RenderStates> passes;
};

// Restores the class-wide switches after each test.
struct SwitchGuard {
    int drawMode = ScenegraphNode::drawMode;
    bool lists = ScenegraphNode::displayListsEnabled;
    bool culling = ScenegraphNode::useVisibilityCulling;
    bool blending = ScenegraphNode::useAlphaBlending;
    bool lighting = ScenegraphNode::modifyLighting;
    bool savings = ScenegraphNode::detailSavings;
    ~SwitchGuard() {
        ScenegraphNode::drawMode = drawMode;
        ScenegraphNode::displayListsEnabled = lists;
        ScenegraphNode::useVisibilityCulling = culling;
        ScenegraphNode::useAlphaBlending = blending;
        ScenegraphNode::modifyLighting = lighting;
        ScenegraphNode::detailSavings = savings;
    }
};

// A node drawn by its own transform, placed and scaled.
template <typename Node>
std::shared_ptr<Node> placed(std::shared_ptr<Node> node, float x, float y, float z, float sx = 1, float sy = 1,
                             float sz = 1) {
    node->useOwnTransform = true;
    node->setTranslation(x, y, z);
    node->setScale(sx, sy, sz);
    return node;
}

// Makes a material glow in one colour, whatever the lights do.
inline void glow(GeometryNode& node, float r, float g, float b, float a = 1.0f) {
    auto m = node.getMaterial();
    m->ambient = Utilities<float>::createArray(0, 0, 0, a);
    m->diffuse = Utilities<float>::createArray(0, 0, 0, a);
    m->specular = Utilities<float>::createArray(0, 0, 0, a);
    m->emission = Utilities<float>::createArray(r, g, b, a);
    m->evalTransparency();
}

// A perspective looking from (0, 0, 5) at the origin, as reshape sets it up.
inline void setUpView(RootNode& root) {
    glViewport(0, 0, GlTestWindow::width(), GlTestWindow::height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    root.getCamera()->setEyePoint(0, 0, 5);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
}

// One frame as the game draws it.
inline void drawFrame(RootNode& root) {
    ScenegraphNode::beginFrame();
    root.startVisibilityTests();
    root.paint();
    glFinish();
}

// The window pixel where an eye-space point lands under the current projection.
inline void eyeToWindow(double x, double y, double z, int& wx, int& wy) {
    GLint viewport[4];
    GLdouble projection[16], px, py, pz;
    const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gluProject(x, y, z, identity, projection, viewport, &px, &py, &pz);
    wx = static_cast<int>(px);
    wy = static_cast<int>(py);
}

inline GlTestWindow::Pixel centre() { return GlTestWindow::readPixel(GlTestWindow::width() / 2, GlTestWindow::height() / 2); }
