#pragma once
#include <memory>
#include <string>

#include "input/KeyBindings.h"
#include "overlay/OverlayList.h"
#include "overlay/TextOverlay.h"

// A line under the sign game's row of arrows that names the keys typing
// them as the player has bound them ("keys: up w  left a  down s  right d").
// It shows while the row shows.
class ArrowKeysLegend : public TextOverlay {
public:
    explicit ArrowKeysLegend(std::shared_ptr<OverlayList> row);

    void paint() override;
    static std::string textFor(const KeyBindings& bindings);

private:
    std::shared_ptr<OverlayList> row;
};
