#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/RenderControl.h"
#include "input/KeyConsumer.h"
#include "levels/LevelDescription.h"

// The key l (next_level, active while paused too): the next level of the
// levels folder, round to the first, replaces the running one. A level that
// cannot be read is refused with its first fault as a message, and the
// running level stays; the next press tries the one after it.
class LevelSwitch : public KeyConsumer {
public:
    using Chosen = std::function<void(LevelDescription)>;
    // current: the running level's name in the levels folder (any other: the next is the first).
    LevelSwitch(std::string current, std::weak_ptr<RenderControl> messages, Chosen chosen);
    void consumeDown(byte key, int x, int y) override;

private:
    std::string current;
    std::weak_ptr<RenderControl> messages;
    Chosen chosen;
};
