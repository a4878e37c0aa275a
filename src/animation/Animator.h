#pragma once
#include <memory>
#include <vector>

#include "animation/Animation.h"
#include "animation/TimeBase.h"

// Drives the animations of one level: once per frame every active animation
// gets the same measured elapsed time. Registering also activates.
//
// Animations run in the order they were registered. No animation relies on
// running before another, but their order still decides the last bits of a
// physics step; a fixed order makes a run with a fixed clock and seed repeat
// exactly, whatever the memory layout of the build.
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

    bool isRegistered(const AnimationPtr& ani) const { return find(ani) != nullptr; }
    bool isActive(const AnimationPtr& ani) const;

private:
    struct Entry {
        AnimationPtr animation;
        bool active;
    };
    const Entry* find(const AnimationPtr& ani) const;
    Entry* find(const AnimationPtr& ani);

    std::vector<Entry> animations;  // registered ones, in registration order
    std::shared_ptr<TimeBase> timeBase;
};
