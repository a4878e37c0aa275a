#pragma once
#include <memory>

class ScenegraphNode;

// Anything that changes with time: advanced once per frame by the Animator
// with the real time that passed since the previous frame.
class Animation {
public:
    Animation() = default;
    explicit Animation(std::shared_ptr<ScenegraphNode> obj) : obj(std::move(obj)) {}
    virtual ~Animation() = default;

    virtual void animate(double elapsedTime);

protected:
    // The scene node this animation works on; null for the default constructor.
    std::shared_ptr<ScenegraphNode> obj;
};
