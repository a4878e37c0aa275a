#pragma once
#include "physics/PhysicalBodyCreator.h"

class GeometryNode;

// A box fitted to the node's bounding box (model coordinates): its size, moved
// to its centre. The default shape of every geometry node.
class OccBBPhysicBoxCreator : public PhysicalBodyCreator {
public:
    explicit OccBBPhysicBoxCreator(GeometryNode* geom) : geom(geom) {}
    void createRigidBody() override;

protected:
    GeometryNode* geom;  // not owned: the node owns this creator
};
