#pragma once
#include <memory>
#include <vector>

#include "game/HunterAI.h"
#include "game/ItemAction.h"

// Everyone hunts: while the influence runs every pursuer it knows chases the
// player (unless the pursuers are blind, before the race or after a win);
// at its end they all go back to patrolling.
class OverkillAction : public ItemAction {
public:
    OverkillAction(std::shared_ptr<GeometryNode> item, const char* overlayTex);

    void startInfluence() override;
    void endInfluence() override;

    void addHunter(std::shared_ptr<HunterAI> hunter);
    void clearHunterList() { hunters.clear(); }

private:
    std::vector<std::shared_ptr<HunterAI>> hunters;
};
