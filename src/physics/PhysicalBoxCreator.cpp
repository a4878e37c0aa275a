#include "physics/PhysicalBoxCreator.h"

#include <cstdio>

#include "physics/Physics.h"
#include "scenegraph/GeometryNode.h"

void PhysicalBoxCreator::createRigidBody() {
    if (!geom) {
        std::printf("\n PhysicalBoxCreator::createRigidBody(): no node given");
        return;
    }
    makeBody(NewtonCreateBox(Physics::newtonWorld, geom->getScalex(), geom->getScaley(), geom->getScalez(), nullptr));
}
