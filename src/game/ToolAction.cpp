#include "game/ToolAction.h"

#include "audio/AudioManager.h"
#include "game/UnmountAction.h"

ToolAction::ToolAction(std::shared_ptr<GeometryNode> item, const char* overlayTex)
    : ItemAction(std::move(item), overlayTex) {
    influenceDuration = 30.0;
    respawnTime = 30.0;
}

// Halving and doubling a power of two is exact, so any number of overlapping
// tools bring the factor back to exactly 1 once all have ended.
void ToolAction::startInfluence() {
    AudioManager::fireToolUpgrade();
    UnmountAction::SEQUENCE_LENGTH_FACTOR *= 0.5f;
}

void ToolAction::endInfluence() { UnmountAction::SEQUENCE_LENGTH_FACTOR *= 2.0f; }
