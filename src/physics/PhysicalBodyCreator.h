#pragma once
#include "physics/newton.h"

// Strategy that builds the rigid body of a scene node in Physics::newtonWorld:
// each subclass makes one kind of collision shape, creates the body from it
// and keeps the body. The base makes nothing.
class PhysicalBodyCreator {
public:
    virtual ~PhysicalBodyCreator() = default;

    virtual void createRigidBody() {}
    NewtonBody* get() const { return body; }

protected:
    // Creates the body from the collision in the current world and drops the
    // creator's reference to the collision.
    void makeBody(NewtonCollision* collision);

    NewtonBody* body = nullptr;
};
