#pragma once
#include <memory>

#include "assets/MilkshapeNode.h"

// One town sign of the level: its model (whose meshes "face" and "backside"
// are the plate that disappears) and whether the player has dismantled it.
// A sign starts intact; only a level reset makes a dismantled sign intact again.
struct Sign {
    explicit Sign(std::shared_ptr<MilkshapeNode> node) : node(std::move(node)) {}

    // Shows or hides the plate (meshes "face" and "backside") of the model.
    void showPlate(bool shown) {
        if (!node) return;
        bool changed = false;
        for (const char* name : {"face", "backside"})
            if (auto mesh = node->getMesh(name); mesh && mesh->visible != shown) {
                mesh->visible = shown;
                changed = true;
            }
        // The grouped display lists hold the old visibility until rebuilt; a
        // model drawn in immediate mode needs (and has) no list to rebuild.
        // An unchanged plate keeps its lists: a level reset puts back plates
        // that mostly never went.
        if (changed && node->isUsingDisplayList()) node->refreshDisplayList();
    }

    std::shared_ptr<MilkshapeNode> node;
    bool dismounted = false;
};
