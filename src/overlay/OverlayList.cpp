#include "overlay/OverlayList.h"

#include <GL/glew.h>

void OverlayList::paint() {
    if (!visible) return;
    glColor3f(1, 1, 1);
    int slot = 0;
    for (const auto& item : items) {
        if (item->visible) {
            const double offset = static_cast<double>(spacing) * slot;
            if (direction == VERTICAL) item->position = Vector(origin.x, origin.y + offset, origin.z);
            else if (direction == HORIZONTAL) item->position = Vector(origin.x + offset, origin.y, origin.z);
            ++slot;
        } else if (!collapseHidden) {
            ++slot;
        }
        item->paint();
    }
}
