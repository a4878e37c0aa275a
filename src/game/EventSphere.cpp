#include "game/EventSphere.h"

EventSphere::EventSphere(const char* desc) : GeometryNode(desc) {
    typeName = "EventSphere";
    alwaysVisible = true;
    useOwnTransform = true;
}

void EventSphere::finalize() {
    const float r = eventSphere->radius;
    boundingBox->setExtent(-r, r, -r, r, -r, r);
    ScenegraphNode::finalize();
}
