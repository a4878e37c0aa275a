#pragma once
#include <memory>
#include <vector>

#include "game/Sign.h"

// All signs of the level, in placement order, and whether every one of them
// is dismantled. The answer is kept from the last updateUnmountStates: add
// and clear refresh it, a dismantled sign does not until the next update.
class SignStates {
public:
    void add(std::shared_ptr<Sign> sign);
    void clear();
    // Recomputes and returns whether all signs are dismantled; true with no signs.
    bool updateUnmountStates();

    bool isAllUnmounted() const { return allUnmounted; }
    const std::vector<std::shared_ptr<Sign>>& getSigns() const { return signs; }

private:
    bool allUnmounted = true;
    std::vector<std::shared_ptr<Sign>> signs;
};
