#pragma once
#include "physics/PhysicalBodyCreator.h"

class GeometryNode;

// A box whose edge lengths are the node's scale, centred on the node.
class PhysicalBoxCreator : public PhysicalBodyCreator {
public:
    explicit PhysicalBoxCreator(GeometryNode* geom) : geom(geom) {}
    void createRigidBody() override;

protected:
    GeometryNode* geom;  // not owned: the node owns this creator
};
