#include "animation/Animator.h"

#include <cstdio>

Animator::Animator() : timeBase(std::make_shared<TimeBase>()) {}

void Animator::registerAnimation(AnimationPtr ani) {
    registeredAnimations.insert(ani);
    activeAnimations.insert(ani);
}

void Animator::unregisterAnimation(AnimationPtr ani) {
    activeAnimations.erase(ani);
    registeredAnimations.erase(ani);
}

void Animator::activateAnimation(AnimationPtr ani) {
    if (!isRegistered(ani)) {
        std::printf("\nAnimator.activateAnimation(): specified animation is not registered!");
        return;
    }
    activeAnimations.insert(ani);
}

void Animator::deactivateAnimation(AnimationPtr ani) {
    if (!isRegistered(ani)) {
        std::printf("\nAnimator.deactivateAnimation(): specified animation is not registered!");
        return;
    }
    activeAnimations.erase(ani);
}

void Animator::animate() {
    timeBase->measure();
    const double elapsed = timeBase->getElapsedTime();
    for (const AnimationPtr& ani : activeAnimations) ani->animate(elapsed);
}

void Animator::clear() {
    activeAnimations.clear();
    registeredAnimations.clear();
}
