#pragma once
#include <memory>

#include "game/Action.h"

class HunterAI;

// A pursuer's car and one of its checkpoints: touching any of them moves the
// pursuer on to the next checkpoint, in whatever state it is.
class CheckpointAction : public Action {
public:
    // Refers to the brain without owning it.
    explicit CheckpointAction(std::weak_ptr<HunterAI> hunter);

    void enter() override;

private:
    std::weak_ptr<HunterAI> hunter;
};
