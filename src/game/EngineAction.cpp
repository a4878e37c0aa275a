#include "game/EngineAction.h"

#include "audio/AudioManager.h"

EngineAction::EngineAction(std::shared_ptr<GeometryNode> item, std::shared_ptr<PhysicCarMovement> movement,
                           const char* overlayTex)
    : ItemAction(std::move(item), overlayTex), carMovement(std::move(movement)) {
    influenceDuration = 10.0;
    respawnTime = 30.0;
}

void EngineAction::startInfluence() {
    AudioManager::fireEngineUpgrade();
    scale(BOOST);
}

// Multiplying by 2 and by 0.5 is exact in binary: the normal values come back
// to the last bit, also after several overlapping engine items.
void EngineAction::endInfluence() { scale(1.0 / BOOST); }

void EngineAction::scale(double factor) {
    if (!carMovement) return;
    carMovement->acceleration *= factor;
    carMovement->maxSpeed *= factor;
    carMovement->maxReverseSpeed *= factor;
}
