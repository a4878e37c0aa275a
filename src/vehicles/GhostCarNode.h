#pragma once
#include "vehicles/SimpleCarNode.h"

// A see-through copy of a car, with its wheels, for the ghost of a race. It
// has no body in the physics world and takes part in no visibility test:
// its owner sets its pose (setPose) and how opaque it is every frame.
//
// It is drawn in the blended pass, after the whole opaque scene, in two
// steps: its depth alone, then its colours where that depth is, blended at
// `opacity` over what lies behind. So it shows as one shell, its hidden
// faces left out. It is drawn with one sample per pixel. Without blending
// (the single pass) it is not drawn.
class GhostCarNode : public SimpleCarNode {
public:
    static constexpr float OPACITY = 0.35f;

    explicit GhostCarNode(const char* nodeDescription);

    using SimpleCarNode::load;
    bool load(const std::string& subdir, const std::string& mainBodyFile, const std::string& tireFilename,
              const TireOffsets& tireOffsets) override;

    // The car's pose (column-major, translation in 12-14) and front wheel
    // angle (degrees); the wheels roll by the distance from the last pose.
    void setPose(const float* matrix, float steerDegrees);
    const float* getPose() const;

    void performOperations() override;

    bool shown = true;
    float opacity = OPACITY;  // 0 to 1

private:
    void drawCar();
};
