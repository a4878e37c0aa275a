#include "vehicles/SimpleCarNode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "math/Constants.h"
#include "physics/PhysicVolume.h"

SimpleCarNode::SimpleCarNode(const char* desc) : MilkshapeNode(desc) { typeName = "SimpleCarNode"; }

bool SimpleCarNode::load(const std::string& dir, const std::string& mainBodyFile, const std::string& tireFilename,
                         const TireOffsets& tireOffsets) {
    useOwnTransform = false;  // the car is moved by its physical body
    physicVolume->alwaysActive = true;
    physicVolume->isStatic = false;
    bool ok = MilkshapeNode::load(dir, mainBodyFile);
    for (const char* label : {"FL", "FR", "RL", "RR"}) ok = setupTire(label, dir, tireFilename, tireOffsets) && ok;
    finalize();
    const std::shared_ptr<MilkshapeNode> tires[4] = {frontLeft, frontRight, rearLeft, rearRight};
    for (const std::shared_ptr<MilkshapeNode>& tire : tires) {
        if (!tire) continue;
        addChild(tire);
        // Placed by its own offset and rotations inside the car; no body.
        tire->useOwnTransform = true;
        tire->getPhysicVolume()->alwaysActive = false;
        tire->getPhysicVolume()->isStatic = true;
        tire->getPhysicVolume()->noBody = true;
        tire->setScale(scaleX, scaleY, scaleZ);
    }
    return ok;
}

bool SimpleCarNode::setupTire(const char* label, const std::string& dir, const std::string& tireFilename,
                              const TireOffsets& tireOffsets) {
    std::shared_ptr<MilkshapeNode>* slot = nullptr;
    int index = 0;
    float turn = 0.0f;  // right tires are the left model turned round
    if (std::strcmp(label, "FL") == 0) {
        slot = &frontLeft;
    } else if (std::strcmp(label, "FR") == 0) {
        slot = &frontRight;
        index = 1;
        turn = 180.0f;
    } else if (std::strcmp(label, "RL") == 0) {
        slot = &rearLeft;
        index = 2;
    } else if (std::strcmp(label, "RR") == 0) {
        slot = &rearRight;
        index = 3;
        turn = 180.0f;
    } else {
        std::printf("\n SimpleCarNode::setupTire(): unknown label <%s>", label);
        return false;
    }
    const std::string description = std::string("car tire ") + label;
    std::shared_ptr<MilkshapeNode> tire = std::make_shared<MilkshapeNode>(description.c_str());
    const Vector& offset = tireOffsets[index];
    tire->setTranslation(static_cast<float>(offset.x), static_cast<float>(offset.y), static_cast<float>(offset.z));
    tire->setRotations(0.0f, turn, 0.0f);
    const bool ok = tire->load(dir, tireFilename);
    tire->finalize();
    *slot = tire;
    return ok;
}

bool SimpleCarNode::hasTires() const { return frontLeft && frontRight && rearLeft && rearRight; }

void SimpleCarNode::setFrontSteering(float angle) {
    if (!hasTires()) return;  // not loaded yet
    frontLeft->setRotations(frontLeft->getXrot(), angle, frontLeft->getZrot());
    frontRight->setRotations(frontRight->getXrot(), angle + 180.0f, frontRight->getZrot());
}

void SimpleCarNode::addTireRotation(double elapsedTime, double speed) {
    // A tire model that failed to load has no height and does not roll.
    if (!hasTires() || frontLeft->getBoundingBox()->size[1] <= 0.0f) return;
    // Distance over radius, the radius being half the tire model's height.
    const double a = PI_UNDER_180 * elapsedTime * speed * 2.0 / frontLeft->getBoundingBox()->size[1];
    const float roll = static_cast<float>(a);
    // The right tires are turned round: the same forward roll has the other sign.
    frontLeft->addRotations(-roll, 0.0f, 0.0f);
    rearLeft->addRotations(-roll, 0.0f, 0.0f);
    frontRight->addRotations(roll, 0.0f, 0.0f);
    rearRight->addRotations(roll, 0.0f, 0.0f);
}

void SimpleCarNode::finalize() {
    MilkshapeNode::finalize();  // the box around the body's meshes
    const BoundingBox& body = *boundingBox;
    float lo[3] = {body.minX, body.minY, body.minZ};
    float hi[3] = {body.maxX, body.maxY, body.maxZ};
    if (hasTires()) widenByTires(lo, hi);
    boundingBox->setExtent(lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
}

// The tires reach below and beside the body: the box is widened to their
// outer faces. The top stays the body's.
void SimpleCarNode::widenByTires(float lo[3], float hi[3]) const {
    const float* flSize = frontLeft->getBoundingBox()->size;
    const float* rlSize = rearLeft->getBoundingBox()->size;
    const float lowestY = std::min({frontLeft->getYpos(), frontRight->getYpos(), rearRight->getYpos(),
                                    rearLeft->getYpos()});
    const float bottom = lowestY - 0.5f * flSize[1];
    const float left = std::min(frontLeft->getXpos(), rearLeft->getXpos()) - 0.5f * flSize[0];
    const float right = std::max(frontRight->getXpos(), rearRight->getXpos()) + 0.5f * flSize[0];
    const float front = std::min(frontLeft->getZpos(), frontRight->getZpos()) - 0.5f * flSize[2];
    const float rear = std::max(rearLeft->getZpos(), rearRight->getZpos()) + 0.5f * rlSize[2];
    lo[1] = std::min(lo[1], bottom);
    lo[0] = std::min(lo[0], left);
    hi[0] = std::max(hi[0], right);
    lo[2] = std::min(lo[2], front);
    hi[2] = std::max(hi[2], rear);
}
