#pragma once
#include <memory>

#include "assets/MilkshapeNode.h"

// One town sign of the level: its model (whose meshes "face" and "backside"
// are the plate that disappears) and whether the player has dismantled it.
// A sign starts intact; only a level reset makes a dismantled sign intact again.
struct Sign {
    explicit Sign(std::shared_ptr<MilkshapeNode> node) : node(std::move(node)) {}

    std::shared_ptr<MilkshapeNode> node;
    bool dismounted = false;
};
