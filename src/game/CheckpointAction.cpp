#include "game/CheckpointAction.h"

#include "game/HunterAI.h"

CheckpointAction::CheckpointAction(std::weak_ptr<HunterAI> h) : hunter(std::move(h)) {}

void CheckpointAction::enter() {
    if (auto brain = hunter.lock()) brain->nextCheckpoint();
}
