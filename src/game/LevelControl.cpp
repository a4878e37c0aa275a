#include "game/LevelControl.h"

LevelControl::LevelControl(std::shared_ptr<Level> l) : level(std::move(l)) { keys.push_back('r'); }

void LevelControl::consumeDown(byte key, int, int) {
    if (key == 'r' && level) level->reset();
}
