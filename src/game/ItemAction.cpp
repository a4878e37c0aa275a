#include "game/ItemAction.h"

#include <algorithm>

ItemAction::ItemAction(std::shared_ptr<GeometryNode> theItem, const char* overlayTex)
    : Animation(theItem), item(std::move(theItem)) {
    createOverlay(overlayTex);
}

void ItemAction::createOverlay(const char* texName) {
    auto icon = std::make_shared<Billboard>(texName ? texName : "", true, "Item overlay billboard");
    icon->overlay = true;
    icon->active = false;
    TextureQuad::makeWhite(*icon->getMaterial(), 0.01f);
    overlay = std::make_shared<Overlay3D>(icon);
    overlay->visible = false;
}

// Taking the item twice before it is back would sink it twice (it would then
// come back 100 units under its place) and start a second influence that
// never ends.
void ItemAction::enter() {
    if (!itemPresent) return;
    influenceActive = true;
    itemPresent = false;
    sink();
    elapsed = 0.0;
    startInfluence();
    overlay->visible = true;
}

void ItemAction::animate(double elapsedTime) {
    elapsed += elapsedTime;
    if (influenceActive) {
        if (elapsed > influenceDuration) {
            influenceActive = false;
            overlay->visible = false;
            endInfluence();
        } else {
            influence();
            fadeIcon();
        }
    }
    if (!itemPresent && elapsed > respawnTime) {
        itemPresent = true;
        rise();
    }
}

// One step past both times ends everything a pickup started.
void ItemAction::abortInfluence() { animate(influenceDuration + respawnTime); }

void ItemAction::sink() {
    if (!item) return;
    placeY = item->getYpos();
    item->addTranslation(0.0f, -SINK_DEPTH, 0.0f);
}

// Back to exactly where it was: adding the depth back in floats would drift.
void ItemAction::rise() {
    if (item) item->setTranslation(item->getXpos(), placeY, item->getZpos());
}

// Fully opaque at the pickup, transparent when the influence ends.
void ItemAction::fadeIcon() {
    overlay->getBillboard()->getMaterial()->setTransparency(static_cast<float>(1.0 - elapsed / influenceDuration));
}

void ItemAction::setTimes(double influence, double respawn) {
    influenceDuration = influence;
    respawnTime = std::max(respawn, influence);
}
