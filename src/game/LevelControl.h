#pragma once
#include <memory>

#include "game/Level.h"
#include "input/KeyConsumer.h"

// The level's own keys (lower case only): r restarts the level, p pauses
// and resumes it, n shows or hides the minimap and the speedometer, g hides
// or shows the ghost (and keeps the choice, see GhostChoice). All work while
// the game is paused.
class LevelControl : public KeyConsumer {
public:
    explicit LevelControl(std::shared_ptr<Level> level);
    void consumeDown(byte key, int x, int y) override;

private:
    void showGhost();

    std::shared_ptr<Level> level;
};
