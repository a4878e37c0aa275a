#include "physics/OccBBPhysicBoxCreator.h"

#include <cstdio>

#include "math/Matrix.h"
#include "physics/Physics.h"
#include "scenegraph/GeometryNode.h"

void OccBBPhysicBoxCreator::createRigidBody() {
    if (!geom) {
        std::printf("\n OccBBPhysicBoxCreator::createRigidBody(): no node given");
        return;
    }
    const GeometryNode::BoundingBox& box = *geom->getBoundingBox();
    Matrix offset;
    offset.translate(box.center[0], box.center[1], box.center[2]);
    makeBody(NewtonCreateBox(Physics::newtonWorld, box.size[0], box.size[1], box.size[2], offset.data()));
}
