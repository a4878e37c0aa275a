#pragma once
#include <list>
#include <memory>

#include "overlay/Overlay2D.h"

// The head-up display of a level: its overlays, painted in list order on top
// of the scene with the depth test off.
class Overlay2DManager {
public:
    Overlay2DManager(int windowWidth, int windowHeight, bool autoDisableLighting);

    // Inserts before position index (0 or less: at the front; past the end: at the back).
    void registerOverlay(std::shared_ptr<Overlay2D> ovl, int index);
    // Removes every entry holding this overlay.
    void unregisterOverlay(const std::shared_ptr<Overlay2D>& ovl);
    // Removes the entry at position index; positions outside the list are ignored.
    void unregisterOverlay(int index);
    void paint();
    void reset();
    void setWindowDimensions(int width, int height);

    const std::list<std::shared_ptr<Overlay2D>>& getOverlays() const { return overlays; }

private:
    std::list<std::shared_ptr<Overlay2D>> overlays;
    int windowWidth;
    int windowHeight;
    bool autoDisableLighting;
};
