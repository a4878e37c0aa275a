#include "physics/OccBBPhysicSphereCreator.h"

#include <cstdio>

#include "math/Matrix.h"
#include "physics/Physics.h"
#include "scenegraph/GeometryNode.h"

void OccBBPhysicSphereCreator::createRigidBody() {
    if (!geom) {
        std::printf("\n OccBBPhysicSphereCreator::createRigidBody(): no node given");
        return;
    }
    const GeometryNode::BoundingBox& box = *geom->getBoundingBox();
    const float* d = box.size;
    Matrix offset;
    offset.translate(box.center[0], box.center[1], box.center[2]);
    float radii[3] = {0.5f * d[0], 0.5f * d[1], 0.5f * d[2]};
    if (perfectSphere) {
        float largest = d[0] > d[1] ? (d[0] > d[2] ? d[0] : d[2]) : (d[1] > d[2] ? d[1] : d[2]);
        radii[0] = radii[1] = radii[2] = 0.5f * largest;
    }
    makeBody(NewtonCreateSphere(Physics::newtonWorld, radii[0], radii[1], radii[2], offset.data()));
}
