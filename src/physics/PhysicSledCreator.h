#pragma once
#include "physics/PhysicalBodyCreator.h"

class GeometryNode;

// The body of a car: two capsule runners along the car's length under its
// left and right sides and a box on top of them, all fitted to the node's
// scaled bounding box. The runners let the car slide over the terrain.
class PhysicSledCreator : public PhysicalBodyCreator {
public:
    explicit PhysicSledCreator(GeometryNode* geom) : geom(geom) {}
    void createRigidBody() override;

protected:
    GeometryNode* geom;  // not owned: the node owns this creator
};
