#pragma once
#include <array>
#include <memory>
#include <string>

#include "assets/MilkshapeNode.h"
#include "math/Matrix.h"
#include "math/Vector.h"
#include "scenegraph/RootNode.h"

struct NewtonBody;
struct NewtonJoint;

// A car on the physics library's vehicle joint: the body model on a dynamic
// chassis body and four tires on the joint, each tire with its own model
// whose pose is copied from the joint after every step. Steering, drive
// torque and hand brakes are set on the car and handed to the tires from the
// joint's tire callback. The tire models hang under the scene root, not under
// the car: only the joint places them.
//
// Axes of the joint: the tires' axles lie along the car's Z axis, so the car
// drives along its X axis (a positive torque forwards, towards +X).
class CarNode : public MilkshapeNode {
public:
    // Tire mounting points relative to the body in the order front left,
    // front right, rear left, rear right.
    using TireOffsets = std::array<Vector, 4>;

    // What every tire has: its size, its pose on the car and its model.
    class CarTire {
    public:
        virtual ~CarTire() = default;
        // Hands the tire's settings to the joint (from the tire callback).
        virtual void setTirePhysics(NewtonJoint* vehicle, void* tireId);
        // Loads the model and adds the tire to the car's joint (also when the
        // model failed to load: false then).
        bool setup(CarNode* root, const char* label, const std::string& subdir, const std::string& tireFilename,
                   const TireOffsets& tireOffsets);

        float width = 0.0f;
        float radius = 0.0f;
        std::shared_ptr<Matrix> matrix = std::make_shared<Matrix>();  // pose relative to the car body
        std::shared_ptr<MilkshapeNode> model;
    };

    // A steered tire: turns towards its target a little every step.
    class FrontTire : public CarTire {
    public:
        void setTirePhysics(NewtonJoint* vehicle, void* tireId) override;
        void setSteer(float value) { steer = value; }
        float getSteer() const { return steer; }

    private:
        float steer = 0.0f;  // target angle, radians
    };

    // A driven tire with a hand brake.
    class RearTire : public CarTire {
    public:
        void setTirePhysics(NewtonJoint* vehicle, void* tireId) override;
        void setTorque(float value) { torque = value; }
        void setBrakes(float brake) { brakes = brake; }
        float getTorque() const { return torque; }
        float getBrakes() const { return brakes; }

    private:
        float torque = 0.0f;
        float brakes = 0.0f;
    };

    CarNode(std::shared_ptr<RootNode> scenegraphRoot, const char* nodeDescription);
    // Unhooks the joint's tire callback: the tires die with the car, the joint
    // lives on with the world.
    ~CarNode() override;

    using MilkshapeNode::load;
    // Loads the body, makes its chassis body and vehicle joint in the current
    // world and mounts the four tires. False if a model failed to load.
    virtual bool load(const std::string& subdir, const std::string& mainBodyFile, const std::string& tireFilename,
                      const TireOffsets& tireOffsets);
    // Mass and callbacks on the chassis made by load; not passed to children.
    void physicAllocate() override;

    // Signed speed along the car's X axis.
    float getSpeed() const;
    void setSteering(float value);
    void setTireTorque(float value);
    void setApplyHandbrakes(float value);

    std::shared_ptr<FrontTire> getFrontLeft() const { return frontLeft; }
    std::shared_ptr<FrontTire> getFrontRight() const { return frontRight; }
    std::shared_ptr<RearTire> getRearLeft() const { return rearLeft; }
    std::shared_ptr<RearTire> getRearRight() const { return rearRight; }
    NewtonJoint* getVehicleJoint() const;

    // Callbacks of the chassis body and of the joint.
    static void applyGravityForce(NewtonBody* body);
    static void setTransform(NewtonBody* body, const float* matrix);
    static void tireUpdate(NewtonJoint* vehicle);

private:
    void createChassis();
    static CarNode* carOf(NewtonBody* body);

    std::shared_ptr<RearTire> rearRight;
    std::shared_ptr<RearTire> rearLeft;
    std::shared_ptr<FrontTire> frontRight;
    std::shared_ptr<FrontTire> frontLeft;
    // Where the tire models are hung. Not owned: the car usually hangs under
    // that same root, and an owning handle would keep both alive for good.
    std::weak_ptr<RootNode> scenegraphRoot;
};
