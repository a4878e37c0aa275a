#include "game/ArrowKeysLegend.h"

#include <GL/freeglut.h>

namespace {
// Below the row of arrows, which stands across the middle of the window.
constexpr int BELOW_ROW = -48;
constexpr int CHARACTER_WIDTH = 9;  // of the 9 x 15 font
}  // namespace

ArrowKeysLegend::ArrowKeysLegend(std::shared_ptr<OverlayList> r) : row(std::move(r)) {
    visible = true;
    setColor(230, 230, 230);
    setFont(GLUT_BITMAP_9_BY_15);
    setPanel(true);
    setAlignment(CENTER, CENTER, 0, BELOW_ROW);
}

std::string ArrowKeysLegend::textFor(const KeyBindings& bindings) {
    auto name = [&](PlayerAction a) { return KeyBindings::keyName(bindings.keyOf(a)); };
    return "keys: up " + name(PlayerAction::ArrowUp) + "  left " + name(PlayerAction::ArrowLeft) + "  down " +
           name(PlayerAction::ArrowDown) + "  right " + name(PlayerAction::ArrowRight);
}

void ArrowKeysLegend::paint() {
    if (!row || !row->visible) return;
    const std::string wanted = textFor(KeyBindings::current());
    if (wanted != getText()) {
        setText(wanted);
        // Centred under the row.
        setAlignment(CENTER, CENTER, -static_cast<int>(wanted.size()) * CHARACTER_WIDTH / 2, BELOW_ROW);
    }
    TextOverlay::paint();
}
