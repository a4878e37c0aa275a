#pragma once

// A game rule's reaction to two event spheres: exactly one hook is called per
// check, depending on whether the spheres overlap now and did before.
class Action {
public:
    virtual ~Action() = default;

    virtual void enter() {}  // overlap now, not before
    virtual void leave() {}  // no overlap now, overlap before
    virtual void in() {}     // overlap now and before
    virtual void out() {}    // neither
};
