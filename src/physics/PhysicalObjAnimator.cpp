#include "physics/PhysicalObjAnimator.h"

#include "physics/PhysicVolume.h"
#include "scenegraph/TransformationNode.h"

PhysicalObjAnimator::PhysicalObjAnimator(std::shared_ptr<GeometryNode> rigid, std::shared_ptr<TransformationNode> trans)
    : Animation(rigid), rigid(std::move(rigid)), trans(std::move(trans)) {
    if (this->rigid) this->rigid->useOwnTransform = false;
}

void PhysicalObjAnimator::animate(double) {
    // Until the node has its body there is no pose to copy.
    if (!rigid || !trans || !rigid->getPhysicVolume()->hasLiveBody()) return;
    NewtonBodyGetMatrix(rigid->getPhysicVolume()->body, trans->getMatrix()->data());
}
