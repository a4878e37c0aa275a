#include "vehicles/CarNode.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "math/Constants.h"
#include "physics/AssignmentPhysicCreator.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "physics/newton.h"

namespace {

// The tire's suspension spring: the car's weight class in the physics
// library's units, computed in single precision as the joint expects it.
float springConstant() {
    return std::fabs(Physics::gForce) * 200.0f * static_cast<float>(999.9999389648438);
}

template <typename Visit>
void forEachTire(NewtonJoint* vehicle, Visit visit) {
    if (!vehicle) return;
    for (void* id = NewtonVehicleGetFirstTireID(vehicle); id; id = NewtonVehicleGetNextTireID(vehicle, id))
        visit(id, static_cast<CarNode::CarTire*>(NewtonVehicleGetTireUserData(vehicle, id)));
}

}  // namespace

// --- tires ------------------------------------------------------------------------

void CarNode::CarTire::setTirePhysics(NewtonJoint*, void*) {}

bool CarNode::CarTire::setup(CarNode* root, const char* label, const std::string& subdir,
                             const std::string& tireFilename, const TireOffsets& tireOffsets) {
    const std::string description = std::string("car tire ") + label;
    model = std::make_shared<MilkshapeNode>(description.c_str());
    const bool loaded = model->load(subdir, tireFilename);
    model->finalize();
    const float* size = model->getBoundingBox()->size;
    width = size[0];
    radius = size[1] > size[2] ? size[1] : size[2];

    // Just below the mounting point, turned so that the model's axle (its X
    // axis) lies along the joint's pin (the car's Z axis).
    matrix->setIdentity();
    (*matrix)[13] -= 0.00025f;
    const char* labels[4] = {"FL", "FR", "RL", "RR"};
    int index = -1;
    for (int i = 0; i < 4; ++i)
        if (std::strcmp(label, labels[i]) == 0) index = i;
    if (index < 0) {
        std::printf("\n CarNode::CarTire::setup(): unknown tire label: %s", label);
    } else {
        const Vector& offset = tireOffsets[index];
        matrix->translate(static_cast<float>(offset.x), static_cast<float>(offset.y), static_cast<float>(offset.z));
        matrix->rotateY(-HALF_PI);
    }

    const float k = springConstant();
    const float pin[3] = {0.0f, 0.0f, 1.0f};
    NewtonVehicleAddTire(root->getVehicleJoint(), matrix->data(), pin, 5.0f, width * 1.25f, radius,
                         2.0f * std::sqrt(k), k, 0.001f, this, 256);
    return loaded;
}

// The wheels turn towards the target by a small share of the remaining
// angle in every step, so the steering moves smoothly.
void CarNode::FrontTire::setTirePhysics(NewtonJoint* vehicle, void* tireId) {
    const float angle = NewtonVehicleGetTireSteerAngle(vehicle, tireId);
    NewtonVehicleSetTireSteerAngle(vehicle, tireId, angle + (steer - angle) * 0.035f);
}

void CarNode::RearTire::setTirePhysics(NewtonJoint* vehicle, void* tireId) {
    NewtonVehicleSetTireTorque(vehicle, tireId, torque);
    if (brakes > 0.0f) {
        const float stop = NewtonVehicleTireCalculateMaxBrakeAcceleration(vehicle, tireId);
        NewtonVehicleTireSetBrakeAcceleration(vehicle, tireId, stop, 10000.0f);
        // A locked wheel loses its side grip: the car slides.
        const float rolling = NewtonVehicleGetTireLongitudinalSpeed(vehicle, tireId);
        NewtonVehicleSetTireMaxSideSleepSpeed(vehicle, tireId, 0.1f * rolling);
    } else {
        brakes = 0.0f;
    }
}

// --- car ----------------------------------------------------------------------------

CarNode::CarNode(std::shared_ptr<RootNode> root, const char* desc)
    : MilkshapeNode(desc),
      rearRight(std::make_shared<RearTire>()),
      rearLeft(std::make_shared<RearTire>()),
      frontRight(std::make_shared<FrontTire>()),
      frontLeft(std::make_shared<FrontTire>()),
      scenegraphRoot(std::move(root)) {}

CarNode::~CarNode() {
    if (physicVolume->hasLiveBody() && physicVolume->vehicleJoint)
        NewtonVehicleSetTireCallback(physicVolume->vehicleJoint, nullptr);
}

NewtonJoint* CarNode::getVehicleJoint() const { return physicVolume->vehicleJoint; }

bool CarNode::load(const std::string& dir, const std::string& mainBodyFile, const std::string& tireFilename,
                   const TireOffsets& tireOffsets) {
    useOwnTransform = false;
    physicVolume->alwaysActive = true;
    physicVolume->isStatic = false;
    bool ok = MilkshapeNode::load(dir, mainBodyFile);
    finalize();
    physicVolume->mass = 200.0f;
    physicVolume->inertiaX = physicVolume->inertiaY = physicVolume->inertiaZ = physicVolume->mass * 0.0f;
    createChassis();

    ok = frontLeft->setup(this, "FL", dir, tireFilename, tireOffsets) && ok;
    ok = frontRight->setup(this, "FR", dir, tireFilename, tireOffsets) && ok;
    ok = rearLeft->setup(this, "RL", dir, tireFilename, tireOffsets) && ok;
    ok = rearRight->setup(this, "RR", dir, tireFilename, tireOffsets) && ok;

    const std::shared_ptr<CarTire> tires[4] = {frontLeft, frontRight, rearLeft, rearRight};
    if (std::shared_ptr<RootNode> root = scenegraphRoot.lock())
        for (const std::shared_ptr<CarTire>& tire : tires) root->addChild(tire->model);
    for (const std::shared_ptr<CarTire>& tire : tires) {
        MilkshapeNode& model = *tire->model;
        // Drawn with the pose the joint reports; no body of its own.
        model.useOwnTransform = false;
        model.getPhysicVolume()->alwaysActive = true;
        model.getPhysicVolume()->isStatic = false;
        model.getPhysicVolume()->noBody = true;
        model.setScale(scaleX, scaleY, scaleZ);
    }
    return ok;
}

// The chassis body is made now (the joint needs it for its tires) and handed
// to the later physics allocation through an assignment creator.
void CarNode::createChassis() {
    GeometryNode::PhysicVolume& volume = *physicVolume;
    volume.creator->createRigidBody();
    volume.takeBody(volume.creator->get());
    volume.creator = std::make_shared<AssignmentPhysicCreator>(volume.body);
    const float com[3] = {0.0f, -0.07f, -0.065f};
    std::copy(com, com + 3, volume.centreOfMass.get());

    // The start pose as the allocation builds it; its second column is up.
    Matrix pose;
    pose.translate(posX, posY, posZ).rotateX(rotX).rotateY(rotY).rotateZ(rotZ).scale(scaleX, scaleY, scaleZ);
    const float up[3] = {pose[4], pose[5], pose[6]};
    volume.vehicleJoint = NewtonConstraintCreateVehicle(Physics::newtonWorld, up, volume.body);
    NewtonVehicleSetTireCallback(volume.vehicleJoint, tireUpdate);
    NewtonBodySetLinearDamping(volume.body, 0.0f);
}

// The ordinary allocation (it reuses the chassis), then the car's own
// callbacks. A car has no scene children (its tires hang under the root), so
// the allocation has nobody to pass the call on to.
void CarNode::physicAllocate() {
    GeometryNode::physicAllocate();
    if (!physicVolume->hasLiveBody()) return;
    NewtonBodySetForceAndTorqueCallback(physicVolume->body, applyGravityForce);
    NewtonBodySetTransformCallback(physicVolume->body, setTransform);
}

float CarNode::getSpeed() const {
    if (!physicVolume->hasLiveBody()) return 0.0f;
    float v[3];
    NewtonBodyGetVelocity(physicVolume->body, v);
    const Matrix& m = *physicVolume->matrix;
    return v[0] * m[0] + v[1] * m[1] + v[2] * m[2];
}

// Full lock (30 degrees) at a standstill, less the faster the car goes, down
// to a tenth of it.
void CarNode::setSteering(float value) {
    float f = 1.0f - 0.2f * std::fabs(getSpeed());
    if (f <= 0.1f) f = 0.1f;
    const float lock = static_cast<float>(PI_OVER_180 * 30.0 * f);
    const float angle = value > 0.0f ? lock : (value < 0.0f ? -lock : 0.0f);
    frontLeft->setSteer(angle);
    frontRight->setSteer(angle);
}

// Less torque the faster the car goes; half as much in reverse.
void CarNode::setTireTorque(float value) {
    const float falloff = 1.0f - 0.005f * std::fabs(getSpeed());
    const float torque = value > 0.0f ? falloff * 100.0f : (value < 0.0f ? falloff * -50.0f : 0.0f);
    rearLeft->setTorque(torque);
    rearRight->setTorque(torque);
}

void CarNode::setApplyHandbrakes(float value) {
    rearLeft->setBrakes(value);
    rearRight->setBrakes(value);
}

// --- callbacks of the world -------------------------------------------------------------

CarNode* CarNode::carOf(NewtonBody* body) {
    return dynamic_cast<CarNode*>(static_cast<GeometryNode*>(NewtonBodyGetUserData(body)));
}

// Gravity that grows with the speed: the car is pressed onto the road.
void CarNode::applyGravityForce(NewtonBody* body) {
    float mass, ixx, iyy, izz;
    NewtonBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    const CarNode* car = carOf(body);
    const float speed = car ? car->getSpeed() : 0.0f;
    const float force[3] = {0.0f, Physics::gForce * mass * (1.0f + 0.05f * std::fabs(speed)), 0.0f};
    NewtonBodySetForce(body, force);
}

void CarNode::setTransform(NewtonBody* body, const float* matrix) {
    GeometryNode::physicTransformationCallback(body, matrix);
    CarNode* car = carOf(body);
    if (!car) return;
    forEachTire(car->getVehicleJoint(), [car](void* id, CarTire* tire) {
        NewtonVehicleGetTireMatrix(car->getVehicleJoint(), id, tire->model->getPhysicVolume()->matrix->data());
    });
}

void CarNode::tireUpdate(NewtonJoint* vehicle) {
    forEachTire(vehicle, [vehicle](void* id, CarTire* tire) { tire->setTirePhysics(vehicle, id); });
}
