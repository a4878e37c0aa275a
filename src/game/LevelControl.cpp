#include "game/LevelControl.h"

#include "game/GhostChoice.h"

LevelControl::LevelControl(std::shared_ptr<Level> l) : level(std::move(l)) {
    keys = {'r', 'p', 'n', 'g'};
    activeWhilePaused = true;
}

void LevelControl::consumeDown(byte key, int, int) {
    if (!level) return;
    if (key == 'r') level->reset();
    else if (key == 'p') level->setPaused(!level->isPaused());
    else if (key == 'n') level->setMinimapShown(!level->isMinimapShown());
    else if (key == 'g') showGhost();
}

// The choice is kept for the next games.
void LevelControl::showGhost() {
    auto race = level->getGhostRace();
    if (!race) return;
    race->setShown(!race->isShown());
    GhostChoice::keep(race->isShown());
}
