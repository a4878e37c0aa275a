#include "physics/PhysicsDebugNode.h"

#include <GL/glew.h>

#include "physics/PhysicVolume.h"
#include "physics/Physics.h"

PhysicsDebugNode::PhysicsDebugNode(std::shared_ptr<GeometryNode> obj, const char* nodeDescription)
    : GeometryNode(nodeDescription), obj(std::move(obj)) {
    typeName = "PhysicsDebugNode";
}

void PhysicsDebugNode::print() { GeometryNode::print(); }

void PhysicsDebugNode::performOperations() {
    // The cube follows the node's body, or its own position when it has none.
    float centre[3] = {0, 0, 0};
    if (obj && obj->useOwnTransform) {
        centre[0] = obj->getXpos();
        centre[1] = obj->getYpos();
        centre[2] = obj->getZpos();
    } else if (obj) {
        const Matrix& pose = *obj->getPhysicVolume()->matrix;
        centre[0] = pose[12];
        centre[1] = pose[13];
        centre[2] = pose[14];
    }
    for (int axis = 0; axis < 3; ++axis) {
        Physics::debugLinesMin[axis] = centre[axis] - range;
        Physics::debugLinesMax[axis] = centre[axis] + range;
    }
    if (ScenegraphNode::showPhysicsDebug) {
        glPushMatrix();
        // The lines carry their own colour, whatever texture the node before left bound.
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_TEXTURE_2D);
        Physics::DebugShowCollision();
        glPopAttrib();
        glPopMatrix();
    }
}
