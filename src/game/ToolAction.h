#pragma once
#include <memory>

#include "game/ItemAction.h"

// A shorter sign game: while the influence runs, a sign game started anew has
// half as many arrows (4 instead of 8; 2 with two tools at once). Games
// already running keep their length.
class ToolAction : public ItemAction {
public:
    ToolAction(std::shared_ptr<GeometryNode> item, const char* overlayTex);

    void startInfluence() override;
    void endInfluence() override;
};
