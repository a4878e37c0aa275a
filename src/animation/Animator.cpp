#include "animation/Animator.h"

#include <algorithm>
#include <cstdio>

Animator::Animator() : timeBase(std::make_shared<TimeBase>()) {}

const Animator::Entry* Animator::find(const AnimationPtr& ani) const {
    for (const Entry& entry : animations)
        if (entry.animation == ani) return &entry;
    return nullptr;
}

Animator::Entry* Animator::find(const AnimationPtr& ani) {
    return const_cast<Entry*>(static_cast<const Animator*>(this)->find(ani));
}

bool Animator::isActive(const AnimationPtr& ani) const {
    const Entry* entry = find(ani);
    return entry && entry->active;
}

// Registering again only activates: an animation runs once per frame.
void Animator::registerAnimation(AnimationPtr ani) {
    if (!ani) return;
    if (Entry* entry = find(ani)) entry->active = true;
    else animations.push_back({std::move(ani), true});
}

void Animator::unregisterAnimation(AnimationPtr ani) {
    animations.erase(std::remove_if(animations.begin(), animations.end(),
                                    [&](const Entry& entry) { return entry.animation == ani; }),
                     animations.end());
}

void Animator::activateAnimation(AnimationPtr ani) {
    Entry* entry = find(ani);
    if (!entry) {
        std::printf("\nAnimator.activateAnimation(): specified animation is not registered!");
        return;
    }
    entry->active = true;
}

void Animator::deactivateAnimation(AnimationPtr ani) {
    Entry* entry = find(ani);
    if (!entry) {
        std::printf("\nAnimator.deactivateAnimation(): specified animation is not registered!");
        return;
    }
    entry->active = false;
}

// The frame's list is fixed before the first call: an animation that
// registers or unregisters others changes the next frame, not this one.
void Animator::animate() {
    timeBase->measure();
    const double elapsed = timeBase->getElapsedTime();
    std::vector<AnimationPtr> frame;
    frame.reserve(animations.size());
    for (const Entry& entry : animations)
        if (entry.active) frame.push_back(entry.animation);
    for (const AnimationPtr& ani : frame) ani->animate(elapsed);
}

void Animator::clear() { animations.clear(); }
