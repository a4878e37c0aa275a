#pragma once
#include <memory>

#include "math/Matrix.h"
#include "math/Utilities.h"
#include "physics/PhysicalBodyCreator.h"
#include "physics/newton.h"
#include "scenegraph/GeometryNode.h"

// The rigid-body description of a geometry node: static or dynamic, mass,
// inertia, start velocities and material, the strategy that builds the
// body's shape, and the body's pose once it exists (the node is drawn with
// it while it takes part in physics).
class GeometryNode::PhysicVolume {
public:
    PhysicVolume();
    // Detaches the body from the node (the world keeps the body itself).
    ~PhysicVolume();
    PhysicVolume(const PhysicVolume&) = delete;
    PhysicVolume& operator=(const PhysicVolume&) = delete;

    // Takes the creator's new body into the volume and remembers in which
    // world it lives.
    void takeBody(NewtonBody* newBody);
    // True while the body exists: its world has not been replaced since.
    bool hasLiveBody() const;

    bool isStatic = true;       // no mass, no callbacks
    bool alwaysActive = false;  // a dynamic body that never falls asleep
    bool noBody = false;        // the node gets no body; its owner writes the matrix
    std::shared_ptr<PhysicalBodyCreator> creator = std::make_shared<PhysicalBodyCreator>();
    NewtonBody* body = nullptr;
    NewtonJoint* vehicleJoint = nullptr;
    std::shared_ptr<Matrix> matrix = std::make_shared<Matrix>();
    float inertiaX = 0.0f, inertiaY = 0.0f, inertiaZ = 0.0f;
    float mass = 1.0f;
    FloatArray omega = Utilities<float>::createArray(0, 0, 0);
    FloatArray velocity = Utilities<float>::createArray(0, 0, 0);
    FloatArray centreOfMass = Utilities<float>::createArray(0, 0, 0);
    int materialGroupID;

private:
    unsigned bodyWorld = 0;  // Physics::worldGeneration when the body was made
};
