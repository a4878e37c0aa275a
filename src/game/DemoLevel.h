#pragma once
#include <memory>
#include <vector>

#include "game/Level.h"
#include "scenegraph/GeometryNode.h"

// The game's one level.
class DemoLevel : public Level {
public:
    void build() override;
    void reset() override;

private:
    // The start placement of every object that reset() puts back.
    struct Placement {
        std::shared_ptr<GeometryNode> node;
        float pos[3];
        float rot[3];
    };
    void addLight();
    void addShowcase();
    std::shared_ptr<GeometryNode> place(std::shared_ptr<GeometryNode> node, float x, float y, float z);
    std::shared_ptr<GeometryNode> placeFalling(std::shared_ptr<GeometryNode> node, float x, float y, float z);
    // Moves a node to a start position with no rotation; a node with a body
    // takes its body along, at rest.
    static void putBack(GeometryNode& node, const float pos[3], const float rot[3]);
    std::vector<Placement> placements;
};
