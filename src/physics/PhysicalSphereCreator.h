#pragma once
#include "physics/PhysicalBoxCreator.h"

// Despite its name, the same box as PhysicalBoxCreator: edge lengths = the
// node's scale.
class PhysicalSphereCreator : public PhysicalBoxCreator {
public:
    explicit PhysicalSphereCreator(GeometryNode* geom) : PhysicalBoxCreator(geom) {}
};
