#pragma once
#include <memory>

#include "game/Action.h"

class GeometryNode;

// (wasColliding, isColliding) pairs that setState writes.
enum evtState { EVT_ENTER = 0, EVT_LEAVE = 1, EVT_IN = 2, EVT_OUT = 3 };

// Pairs two nodes' event spheres with an action.
class Event {
public:
    Event(std::shared_ptr<GeometryNode> obj, std::shared_ptr<GeometryNode> with, std::shared_ptr<Action> action);

    // The spheres overlap: centre distance strictly below the sum of the radii.
    static bool collision(const GeometryNode& obj, const GeometryNode& with);
    bool collision() const;
    // One check and exactly one hook call.
    void perform();
    // Tells the event what the previous result was, without calling a hook.
    void setState(int state);

    bool getWasColliding() const { return wasColliding; }
    bool getIsColliding() const { return isColliding; }
    std::shared_ptr<GeometryNode> getObj() const { return obj; }
    std::shared_ptr<GeometryNode> getWith() const { return with; }
    std::shared_ptr<Action> getAction() const { return action; }

private:
    std::shared_ptr<GeometryNode> obj;
    std::shared_ptr<GeometryNode> with;
    std::shared_ptr<Action> action;
    bool wasColliding = false;
    bool isColliding = false;
};
