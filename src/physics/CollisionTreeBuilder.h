#pragma once
#include "physics/PhysicalBodyCreator.h"

class TerrainNode;

// The static triangle mesh of a whole terrain: every triangle of every
// segment, in the terrain's model space (the body's matrix places it).
class CollisionTreeBuilder : public PhysicalBodyCreator {
public:
    explicit CollisionTreeBuilder(TerrainNode* terrain) : terrain(terrain) {}
    void createRigidBody() override;

protected:
    TerrainNode* terrain;  // not owned: the terrain owns this creator
    bool optimize = false;
};
