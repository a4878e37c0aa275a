#include "scenegraph/BoxNode.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

BoxNode::BoxNode(const char* desc) : GeometryNode(desc) { typeName = "BoxNode"; }

void BoxNode::executeDisplayList() {
    glPushMatrix();
    GeometryNode::executeDisplayList();
    glutSolidCube(1.0);
    glPopMatrix();
}

void BoxNode::finalize() {
    // The cube is drawn without a display list.
    boundingBox->setExtent(-0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f);
    GeometryNode::finalize();
}
