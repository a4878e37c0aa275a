#include "physics/PhysicVolume.h"

#include "physics/Physics.h"

GeometryNode::PhysicVolume::PhysicVolume() : materialGroupID(Physics::defaultMat) {}

GeometryNode::PhysicVolume::~PhysicVolume() {
    // The node this body reports to is going away; a later update of the
    // same world must not call back into it. The body keeps falling under
    // plain gravity.
    if (!hasLiveBody()) return;
    NewtonBodySetUserData(body, nullptr);
    NewtonBodySetTransformCallback(body, nullptr);
    if (!isStatic) NewtonBodySetForceAndTorqueCallback(body, Physics::handleForceAndTorque);
}

void GeometryNode::PhysicVolume::takeBody(NewtonBody* newBody) {
    body = newBody;
    bodyWorld = Physics::worldGeneration;
}

bool GeometryNode::PhysicVolume::hasLiveBody() const {
    return body && Physics::newtonWorld && bodyWorld == Physics::worldGeneration;
}
