#pragma once
#include "physics/PhysicalBodyCreator.h"

// Hands out a body made elsewhere (the chassis of a vehicle).
class AssignmentPhysicCreator : public PhysicalBodyCreator {
public:
    explicit AssignmentPhysicCreator(NewtonBody* body) { this->body = body; }
    void createRigidBody() override {}
};
