#pragma once
#include <memory>

#include "scenegraph/GeometryNode.h"

// Debug view of the physics: while ScenegraphNode::showPhysicsDebug is on it
// draws the collision shapes of every body in a cube around one followed node
// as blue wire lines. It draws nothing of its own and has no children.
class PhysicsDebugNode : public GeometryNode {
public:
    PhysicsDebugNode(std::shared_ptr<GeometryNode> obj, const char* nodeDescription);

    void print() override;
    void performOperations() override;

    float range = 5.0f;  // half the edge of the cube

protected:
    std::shared_ptr<GeometryNode> obj;  // the followed node
};
