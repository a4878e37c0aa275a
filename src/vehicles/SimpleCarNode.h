#pragma once
#include <array>
#include <memory>
#include <string>

#include "assets/MilkshapeNode.h"
#include "math/Vector.h"

// The car of the game (the player's and every pursuer): a model for the body
// and four tire models hung under it as children. The body is one dynamic
// physics body; the tires have none. They sit at fixed offsets in the car's
// model space, the front pair turns when the car steers and all four spin in
// proportion to the distance driven; the car movement updates both every frame.
//
// Model space: the front is towards -Z, left tires have smaller X than right
// tires, front tires smaller Z than rear tires. The right tires are the same
// model as the left ones, turned 180 degrees about Y.
class SimpleCarNode : public MilkshapeNode {
public:
    // Tire centres in the order front left, front right, rear left, rear right.
    using TireOffsets = std::array<Vector, 4>;

    explicit SimpleCarNode(const char* nodeDescription);

    using MilkshapeNode::load;
    // Loads subdir/mainBodyFile and four tires from subdir/tireFilename, then
    // computes the box around body and tires. False if any model failed (what
    // did load is kept, so the car still appears in part).
    virtual bool load(const std::string& subdir, const std::string& mainBodyFile, const std::string& tireFilename,
                      const TireOffsets& tireOffsets);

    // Creates and loads the tire of that label ("FL", "FR", "RL", "RR") at its
    // offset; false for an unknown label or a model that did not load.
    bool setupTire(const char* label, const std::string& subdir, const std::string& tireFilename,
                   const TireOffsets& tireOffsets);

    // Turns the front wheels to the angle (degrees) about the vertical axis.
    void setFrontSteering(float angle);
    // Rolls all four wheels by the distance speed x elapsedTime.
    void addTireRotation(double elapsedTime, double speed);

    // The box around body and tires (whose runners reach the tire bottoms).
    void finalize() override;

    std::shared_ptr<MilkshapeNode> getFrontLeft() const { return frontLeft; }
    std::shared_ptr<MilkshapeNode> getFrontRight() const { return frontRight; }
    std::shared_ptr<MilkshapeNode> getRearLeft() const { return rearLeft; }
    std::shared_ptr<MilkshapeNode> getRearRight() const { return rearRight; }

private:
    bool hasTires() const;
    void widenByTires(float lo[3], float hi[3]) const;

    std::shared_ptr<MilkshapeNode> rearRight;
    std::shared_ptr<MilkshapeNode> rearLeft;
    std::shared_ptr<MilkshapeNode> frontRight;
    std::shared_ptr<MilkshapeNode> frontLeft;
};
