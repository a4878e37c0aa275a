#pragma once
#include <memory>

#include "game/Level.h"
#include "input/KeyConsumer.h"

// Restarts the level on the key r (lower case only).
class LevelControl : public KeyConsumer {
public:
    explicit LevelControl(std::shared_ptr<Level> level);
    void consumeDown(byte key, int x, int y) override;

private:
    std::shared_ptr<Level> level;
};
