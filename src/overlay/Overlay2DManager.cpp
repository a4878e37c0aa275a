#include "overlay/Overlay2DManager.h"

#include <GL/glew.h>

#include <algorithm>
#include <iterator>

Overlay2DManager::Overlay2DManager(int w, int h, bool autoLighting)
    : windowWidth(w), windowHeight(h), autoDisableLighting(autoLighting) {}

void Overlay2DManager::registerOverlay(std::shared_ptr<Overlay2D> ovl, int index) {
    if (!ovl) return;
    auto at = overlays.begin();
    if (index > 0) std::advance(at, std::min<size_t>(static_cast<size_t>(index), overlays.size()));
    overlays.insert(at, ovl);
    ovl->setWindowDimensions(windowWidth, windowHeight);
}

void Overlay2DManager::unregisterOverlay(const std::shared_ptr<Overlay2D>& ovl) { overlays.remove(ovl); }

void Overlay2DManager::unregisterOverlay(int index) {
    if (index < 0 || static_cast<size_t>(index) >= overlays.size()) return;
    overlays.erase(std::next(overlays.begin(), index));
}

void Overlay2DManager::paint() {
    if (autoDisableLighting) glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    for (const auto& ovl : overlays) ovl->paint();
    glEnable(GL_DEPTH_TEST);
    if (autoDisableLighting) glEnable(GL_LIGHTING);
}

void Overlay2DManager::reset() { overlays.clear(); }

void Overlay2DManager::setWindowDimensions(int w, int h) {
    windowWidth = w;
    windowHeight = h;
    for (const auto& ovl : overlays) ovl->setWindowDimensions(w, h);
}
