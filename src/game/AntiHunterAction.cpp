#include "game/AntiHunterAction.h"

#include "audio/AudioManager.h"

AntiHunterAction::AntiHunterAction(std::shared_ptr<GeometryNode> item, const char* overlayTex)
    : ItemAction(std::move(item), overlayTex) {
    influenceDuration = 20.0;
    respawnTime = 30.0;
}

AntiHunterAction::~AntiHunterAction() { clearHunterList(); }

// Keyed by the node's ownership, not its address: an entry of a node that is
// gone can never be mistaken for a new node at the same address. Never
// destroyed, so an action that dies at exit can still give the sight back.
AntiHunterAction::BlindnessMap& AntiHunterAction::blinded() {
    static BlindnessMap* map = new BlindnessMap;
    return *map;
}

int AntiHunterAction::blindCount(const std::shared_ptr<GeometryNode>& node) {
    auto found = blinded().find(node);
    return found == blinded().end() ? 0 : found->second.count;
}

void AntiHunterAction::addHunter(std::shared_ptr<GeometryNode> hunter) {
    if (!hunter) return;
    auto storage = std::make_shared<EventSphereStorage>();
    storage->radius = hunter->getEventSphere()->radius;
    storage->node = std::move(hunter);
    storages.push_back(std::move(storage));
}

void AntiHunterAction::clearHunterList() {
    for (auto& storage : storages) release(*storage);
    storages.clear();
}

void AntiHunterAction::startInfluence() {
    AudioManager::fireDeceaseUpgrade();
    for (auto& storage : storages) blind(*storage);
}

void AntiHunterAction::endInfluence() {
    for (auto& storage : storages) release(*storage);
}

// The first influence on a sphere saves its true radius; later ones find the
// radius already 0 and take the saved one instead.
void AntiHunterAction::blind(EventSphereStorage& storage) {
    if (storage.blinding) return;
    auto& sphere = *storage.node->getEventSphere();
    Blindness& state = blinded()[storage.node];
    if (state.count++ == 0) state.trueRadius = sphere.radius;
    storage.radius = state.trueRadius;
    storage.blinding = true;
    sphere.radius = 0.0f;
}

void AntiHunterAction::release(EventSphereStorage& storage) {
    if (!storage.blinding) return;
    storage.blinding = false;
    auto found = blinded().find(storage.node);
    if (found != blinded().end() && --found->second.count > 0) return;
    if (found != blinded().end()) blinded().erase(found);
    storage.node->getEventSphere()->radius = storage.radius;
}
