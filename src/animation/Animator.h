#pragma once
#include <memory>
#include <set>

#include "animation/Animation.h"
#include "animation/TimeBase.h"

// Drives the animations of one level: once per frame every active animation
// gets the same measured elapsed time. Registering also activates.
class Animator {
public:
    using AnimationPtr = std::shared_ptr<Animation>;

    Animator();
    virtual ~Animator() = default;

    virtual void registerAnimation(AnimationPtr ani);
    virtual void unregisterAnimation(AnimationPtr ani);
    virtual void activateAnimation(AnimationPtr ani);
    virtual void deactivateAnimation(AnimationPtr ani);

    void animate();
    void clear();
    std::shared_ptr<TimeBase> getTimeBase() const { return timeBase; }

    bool isRegistered(const AnimationPtr& ani) const { return registeredAnimations.count(ani) != 0; }
    bool isActive(const AnimationPtr& ani) const { return activeAnimations.count(ani) != 0; }

private:
    std::set<AnimationPtr> activeAnimations;
    std::set<AnimationPtr> registeredAnimations;
    std::shared_ptr<TimeBase> timeBase;
};
