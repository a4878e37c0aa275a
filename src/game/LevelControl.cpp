#include "game/LevelControl.h"

LevelControl::LevelControl(std::shared_ptr<Level> l) : level(std::move(l)) {
    keys = {'r', 'p', 'n'};
    activeWhilePaused = true;
}

void LevelControl::consumeDown(byte key, int, int) {
    if (!level) return;
    if (key == 'r') level->reset();
    else if (key == 'p') level->setPaused(!level->isPaused());
    else if (key == 'n') level->setMinimapShown(!level->isMinimapShown());
}
