#pragma once
#include <list>
#include <memory>

#include "assets/Billboard.h"
#include "math/Vector.h"
#include "overlay/Overlay2D.h"

// Big message pictures of which only the most recent shows: the top of the
// stack is switched on and placed while the stack is active; everything under
// it stays off. The overlay's own visible flag is not consulted.
class OverlayStack : public Overlay2D {
public:
    // Puts bb on top and shows it from the next paint (everything else goes off).
    void push(std::shared_ptr<Billboard> bb);
    void pop();
    // Takes bb out wherever it is; a billboard not on the stack changes nothing.
    void remove(const std::shared_ptr<Billboard>& bb);
    void clear();
    void activate() { stackActive = true; }
    // Hides the top at once; activate shows it again at the next paint.
    void deactivate();
    void paint() override;

    const std::list<std::shared_ptr<Billboard>>& getStack() const { return stack; }
    bool isActive() const { return stackActive; }

    Vector position{0, 0, -1};
    Vector scale{0.1, 0.1, 0.1};

private:
    void switchAllOff();

    bool stackActive = false;
    std::list<std::shared_ptr<Billboard>> stack;  // bottom first, top last
};
