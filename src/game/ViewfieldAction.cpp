#include "game/ViewfieldAction.h"

#include "game/HunterAI.h"

ViewfieldAction::ViewfieldAction(std::weak_ptr<HunterAI> h) : hunter(std::move(h)) {}

void ViewfieldAction::enter() {
    if (auto brain = hunter.lock()) brain->enterHuntingState();
}

void ViewfieldAction::leave() {
    if (auto brain = hunter.lock()) brain->enterStrafingState(false);
}
