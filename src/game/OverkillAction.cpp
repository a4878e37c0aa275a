#include "game/OverkillAction.h"

#include "audio/AudioManager.h"

OverkillAction::OverkillAction(std::shared_ptr<GeometryNode> item, const char* overlayTex)
    : ItemAction(std::move(item), overlayTex) {
    influenceDuration = 15.0;
    respawnTime = 30.0;
}

void OverkillAction::addHunter(std::shared_ptr<HunterAI> hunter) {
    if (hunter) hunters.push_back(std::move(hunter));
}

void OverkillAction::startInfluence() {
    AudioManager::fireOverkillUpgrade();
    for (const auto& hunter : hunters) hunter->enterHuntingState();
}

void OverkillAction::endInfluence() {
    for (const auto& hunter : hunters) hunter->enterStrafingState(false);
}
