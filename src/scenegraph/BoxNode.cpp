#include "scenegraph/BoxNode.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "physics/PhysicVolume.h"
#include "physics/PhysicalBoxCreator.h"

BoxNode::BoxNode(const char* desc) : GeometryNode(desc) {
    typeName = "BoxNode";
    physicVolume->creator = std::make_shared<PhysicalBoxCreator>(this);
}

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
