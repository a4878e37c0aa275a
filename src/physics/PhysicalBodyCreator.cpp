#include "physics/PhysicalBodyCreator.h"

#include "physics/Physics.h"

void PhysicalBodyCreator::makeBody(NewtonCollision* collision) {
    body = NewtonCreateBody(Physics::newtonWorld, collision);
    NewtonReleaseCollision(Physics::newtonWorld, collision);
}
