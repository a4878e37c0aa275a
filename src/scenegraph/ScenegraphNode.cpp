#include "scenegraph/ScenegraphNode.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>

#include "gl/ExtensionManager.h"
#include "scenegraph/OcclusionCulling.h"

RenderStates ScenegraphNode::renderState = SINGLE_PASS;
int ScenegraphNode::drawMode = 1;
bool ScenegraphNode::displayListsEnabled = true;
bool ScenegraphNode::useVisibilityCulling = true;
bool ScenegraphNode::useAlphaBlending = true;
bool ScenegraphNode::modifyLighting = true;
bool ScenegraphNode::showPhysicsDebug = false;
bool ScenegraphNode::highOccBoundingBoxGranularity = false;
bool ScenegraphNode::detailSavings = true;

ScenegraphNode::ScenegraphNode(const char* desc) : nodeDescription(desc ? desc : "") {}

ScenegraphNode::~ScenegraphNode() {
    // Nodes may outlive the GL context (process exit); names of 0 need no call.
    if ((displayList != 0 || axisList != 0) && ExtensionManager::contextAvailable()) {
        if (displayList != 0) glDeleteLists(displayList, 1);
        if (axisList != 0) glDeleteLists(axisList, 1);
    }
}

void ScenegraphNode::setNodeDescription(const char* desc) { nodeDescription = desc ? desc : ""; }

void ScenegraphNode::addChild(NodePtr child) {
    if (child) children.push_front(std::move(child));
}

bool ScenegraphNode::removeChild(const ScenegraphNode* child) {
    const std::size_t before = children.size();
    children.remove_if([child](const NodePtr& node) { return node.get() == child; });
    return children.size() != before;
}

void ScenegraphNode::processChildren() {
    for (const NodePtr& child : children) child->performOperations();
}

void ScenegraphNode::finalize() {
    for (const NodePtr& child : children) child->finalize();
}

bool ScenegraphNode::enableDisplayList() {
    disableDisplayList();
    displayList = glGenLists(1);
    if (displayList == 0) {
        std::printf(
            "\n ScenegraphNode.enableDisplayList(): WARNING!\n   unable to create display list for %s - %s.\n   "
            "painting asset in immediate mode.",
            typeName, nodeDescription.c_str());
        useDisplayList = false;
        return false;
    }
    glNewList(displayList, GL_COMPILE);
    executeDisplayList();
    glEndList();
    useDisplayList = true;
    return true;
}

void ScenegraphNode::disableDisplayList() {
    if (displayList != 0) glDeleteLists(displayList, 1);
    useDisplayList = false;
    displayList = 0;
}

bool ScenegraphNode::refreshDisplayList() { return enableDisplayList(); }

void ScenegraphNode::paintEventVolumes(bool active) {
    eventSpherePainting = active;
    for (const NodePtr& child : children) child->paintEventVolumes(active);
}

void ScenegraphNode::enableBoundingBoxPainting(bool active) {
    boundingBoxPainting = active;
    for (const NodePtr& child : children) child->enableBoundingBoxPainting(active);
}

void ScenegraphNode::physicAllocate() {
    for (const NodePtr& child : children) child->physicAllocate();
}

void ScenegraphNode::physicRelease() {
    for (const NodePtr& child : children) child->physicRelease();
}

void ScenegraphNode::print() {
    std::printf("\n %s - %s:", typeName, nodeDescription.c_str());
    if (useDisplayList) std::printf("\n   using display list %i", static_cast<int>(displayList));
    else std::printf("\n   not using display list");
}

void ScenegraphNode::performOperations() {
    draw();
    processChildren();
}

void ScenegraphNode::executeDisplayList() {
    std::printf("\n ScenegraphNode.executeDisplayList(): WARNING! method not overwritten by subclass");
}

void ScenegraphNode::callDisplayList() { glCallList(displayList); }

void ScenegraphNode::draw() {
    if (displayListsEnabled && useDisplayList) callDisplayList();
    else executeDisplayList();
}

void ScenegraphNode::beginFrame() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void ScenegraphNode::startVisibilityTests() {
    if (!useVisibilityCulling) return;
    renderState = VISIBILITY_TEST;
    OcclusionCulling::beginTests();
    // Nothing may reach the picture in this pass: a node that draws in every
    // pass (the physics lines) would leave colour and depth behind.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    performOperations();
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void ScenegraphNode::paint() {
    if (useAlphaBlending) {
        renderState = OPAQUE_PASS;
        if (axisDrawing) drawaxis();
        if (modifyLighting) glEnable(GL_LIGHTING);
        performOperations();
        OcclusionCulling::queryQueuedBoxes();
        renderState = TRANSPARENT_PASS;
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        glDisable(GL_CULL_FACE);
        performOperations();
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glEnable(GL_CULL_FACE);
    } else {
        renderState = SINGLE_PASS;
        if (axisDrawing) drawaxis();
        if (modifyLighting) glEnable(GL_LIGHTING);
        performOperations();
        OcclusionCulling::queryQueuedBoxes();
    }
    if (modifyLighting) glDisable(GL_LIGHTING);
}

void ScenegraphNode::printAll() {
    print();
    for (const NodePtr& child : children) child->printAll();
}

void ScenegraphNode::drawaxis() {
    if (axisList != 0) {
        glCallList(axisList);
        return;
    }
    axisList = glGenLists(1);
    if (axisList == 0) {
        std::printf("\n ScenegraphNode.drawAxis(): WARNING! unable to create display list for axis drawing");
        return;
    }
    // The first call only records the symbol; it shows from the next frame on.
    glNewList(axisList, GL_COMPILE);
    recordAxis();
    glEndList();
}

void ScenegraphNode::recordAxis() {
    static const float arrows[3][8][3] = {
        {{0, 0, 0}, {1, 0, 0}, {0.75f, 0.25f, 0}, {0.75f, -0.25f, 0}, {1, 0, 0}, {0.75f, 0, 0.25f},
         {0.75f, 0, -0.25f}, {1, 0, 0}},
        {{0, 0, 0}, {0, 1, 0}, {0, 0.75f, 0.25f}, {0, 0.75f, -0.25f}, {0, 1, 0}, {0.25f, 0.75f, 0},
         {-0.25f, 0.75f, 0}, {0, 1, 0}},
        {{0, 0, 0}, {0, 0, 1}, {0.25f, 0, 0.75f}, {-0.25f, 0, 0.75f}, {0, 0, 1}, {0, 0.25f, 0.75f},
         {0, -0.25f, 0.75f}, {0, 0, 1}},
    };
    glDisable(GL_LIGHTING);
    glColor3ub(255, 0, 0);
    for (const auto& arrow : arrows) {
        glBegin(GL_LINE_STRIP);
        for (const auto& v : arrow) glVertex3fv(v);
        glEnd();
    }
    glColor3ub(255, 255, 0);
    static const char* labels[3] = {"x", "y", "z"};
    for (int axis = 0; axis < 3; ++axis) {
        float pos[3] = {0, 0, 0};
        pos[axis] = 1.1f;
        glRasterPos3fv(pos);
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, labels[axis][0]);
    }
    glEnable(GL_LIGHTING);
}
