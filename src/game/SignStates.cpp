#include "game/SignStates.h"

void SignStates::add(std::shared_ptr<Sign> sign) {
    if (sign) signs.push_back(std::move(sign));
    updateUnmountStates();
}

void SignStates::clear() {
    signs.clear();
    updateUnmountStates();
}

bool SignStates::updateUnmountStates() {
    allUnmounted = true;
    for (const auto& sign : signs) allUnmounted = allUnmounted && sign->dismounted;
    return allUnmounted;
}
