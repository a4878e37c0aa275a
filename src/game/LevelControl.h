#pragma once
#include <memory>

#include "app/KeyConsumer.h"
#include "game/Level.h"

// Restarts the level on the key r (lower case only).
class LevelControl : public KeyConsumer {
public:
    explicit LevelControl(std::shared_ptr<Level> level);
    void consumeDown(byte key, int x, int y) override;

private:
    std::shared_ptr<Level> level;
};
