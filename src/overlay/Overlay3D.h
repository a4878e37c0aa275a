#pragma once
#include <memory>

#include "assets/Billboard.h"
#include "math/Vector.h"
#include "overlay/Overlay2D.h"

// A HUD picture: switches an overlay billboard on or off and places it in eye
// coordinates (z = -1 lies one unit in front of the camera). It draws nothing
// itself; the scene graph draws the billboard in the next frame. While hidden
// it switches the billboard off at every paint, so no one else can show it.
class Overlay3D : public Overlay2D {
public:
    explicit Overlay3D(std::shared_ptr<Billboard> obj);

    void paint() override;

    std::shared_ptr<Billboard> getBillboard() const { return obj; }

    Vector position{0, 0, -1};
    Vector scale{0.1, 0.1, 0.1};

private:
    std::shared_ptr<Billboard> obj;
};

// Gives a billboard a place and size in eye coordinates.
void placeBillboard(Billboard& billboard, const Vector& position, const Vector& scale);
