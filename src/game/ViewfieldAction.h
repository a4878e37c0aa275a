#pragma once
#include <memory>

#include "game/Action.h"

class HunterAI;

// The player's car and a pursuer's view sphere: entering it starts the hunt
// (unless the pursuers are blind), leaving it sends the pursuer back to
// patrolling towards a random checkpoint, blind or not.
class ViewfieldAction : public Action {
public:
    // Refers to the brain without owning it: the brain owns its view sphere.
    explicit ViewfieldAction(std::weak_ptr<HunterAI> hunter);

    void enter() override;
    void leave() override;

private:
    std::weak_ptr<HunterAI> hunter;
};
