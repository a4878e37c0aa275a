#include "overlay/Overlay3D.h"

void placeBillboard(Billboard& billboard, const Vector& position, const Vector& scale) {
    billboard.setTranslation(static_cast<float>(position.x), static_cast<float>(position.y),
                             static_cast<float>(position.z));
    billboard.setScale(static_cast<float>(scale.x), static_cast<float>(scale.y), static_cast<float>(scale.z));
}

Overlay3D::Overlay3D(std::shared_ptr<Billboard> billboard) : obj(std::move(billboard)) {}

void Overlay3D::paint() {
    if (!obj) return;
    obj->active = visible;
    if (visible) placeBillboard(*obj, position, scale);
}
