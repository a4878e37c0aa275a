#include "game/Event.h"

#include <cmath>

#include "scenegraph/GeometryNode.h"

Event::Event(std::shared_ptr<GeometryNode> o, std::shared_ptr<GeometryNode> w, std::shared_ptr<Action> a)
    : obj(std::move(o)), with(std::move(w)), action(std::move(a)) {}

bool Event::collision(const GeometryNode& a, const GeometryNode& b) {
    const GeometryNode::EventSphere& sa = *a.getEventSphere();
    const GeometryNode::EventSphere& sb = *b.getEventSphere();
    if (!(sa.radius > 0) || !(sb.radius > 0)) return false;
    const double dx = (a.getXpos() + sa.offset[0]) - (b.getXpos() + sb.offset[0]);
    const double dy = (a.getYpos() + sa.offset[1]) - (b.getYpos() + sb.offset[1]);
    const double dz = (a.getZpos() + sa.offset[2]) - (b.getZpos() + sb.offset[2]);
    return std::sqrt(dx * dx + dy * dy + dz * dz) < static_cast<double>(sa.radius) + sb.radius;
}

bool Event::collision() const { return obj && with && collision(*obj, *with); }

void Event::perform() {
    wasColliding = isColliding;
    isColliding = collision();
    if (!action) return;
    if (isColliding && wasColliding) action->in();
    else if (isColliding) action->enter();
    else if (wasColliding) action->leave();
    else action->out();
}

void Event::setState(int state) {
    switch (state) {
        case EVT_ENTER: wasColliding = false; isColliding = true; break;
        case EVT_LEAVE: wasColliding = true; isColliding = false; break;
        case EVT_IN: wasColliding = true; isColliding = true; break;
        case EVT_OUT: wasColliding = false; isColliding = false; break;
        default: break;
    }
}
