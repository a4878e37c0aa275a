#pragma once
#include <memory>
#include <vector>

#include "math/Vector.h"
#include "overlay/Overlay3D.h"

// Lines picture overlays up in a column or a row of slots: slot k lies at
// origin + k * spacing along y (VERTICAL) or x (HORIZONTAL). Hidden items
// take no slot when collapseHidden is set, and keep theirs otherwise. Any
// other direction leaves the items' positions alone. A hidden list changes
// nothing at all: its items keep their last state.
class OverlayList : public Overlay2D {
public:
    static constexpr int HORIZONTAL = 0;
    static constexpr int VERTICAL = 1;

    void paint() override;

    std::vector<std::shared_ptr<Overlay3D>> items;  // in slot order; callers append directly
    float spacing = -0.1f;
    int direction = VERTICAL;
    Vector origin{0.67, 0.45, -1.0};
    bool collapseHidden = true;
};
