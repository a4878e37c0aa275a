#include "overlay/OverlayStack.h"

#include <algorithm>

#include "overlay/Overlay3D.h"

void OverlayStack::switchAllOff() {
    for (const auto& bb : stack) bb->active = false;
}

void OverlayStack::push(std::shared_ptr<Billboard> bb) {
    if (!bb) return;
    stack.push_back(std::move(bb));
    switchAllOff();
    stackActive = true;
}

void OverlayStack::pop() {
    if (stack.empty()) return;
    stack.back()->active = false;
    stack.pop_back();
}

void OverlayStack::remove(const std::shared_ptr<Billboard>& bb) {
    if (std::find(stack.begin(), stack.end(), bb) == stack.end()) return;
    bb->active = false;
    stack.remove(bb);
}

void OverlayStack::clear() {
    switchAllOff();
    stack.clear();
}

void OverlayStack::deactivate() {
    stackActive = false;
    switchAllOff();
}

void OverlayStack::paint() {
    if (!stackActive || stack.empty()) return;
    Billboard& top = *stack.back();
    top.active = true;
    placeBillboard(top, position, scale);
}
