#pragma once
#include "physics/PhysicalBodyCreator.h"

class GeometryNode;

// A sphere around the centre of the node's bounding box: with perfectSphere
// its radius is half the box's largest edge, otherwise an ellipsoid with half
// of each edge as radii.
class OccBBPhysicSphereCreator : public PhysicalBodyCreator {
public:
    OccBBPhysicSphereCreator(GeometryNode* geom, bool perfectSphere) : geom(geom), perfectSphere(perfectSphere) {}
    void createRigidBody() override;

protected:
    GeometryNode* geom;  // not owned: the node owns this creator
    bool perfectSphere;
};
