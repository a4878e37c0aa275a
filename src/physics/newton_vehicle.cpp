// The vehicle joint of the Newton-style interface on Bullet's ray-cast
// vehicle: every tire is a suspension ray below its mounting point. The
// tire's spring and shock act as forces (per metre, per metre per second) on
// the chassis; steer angle, drive torque, brakes and side grip are handed to
// Bullet before every sub-step, after the joint's tire callback ran.
#include "physics/newton_bullet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace newton_bullet;

namespace {

// The tire's grip is the default material's static friction; a limited side
// slip speed lowers it for one sub-step, down to this fraction.
constexpr float MIN_SIDE_GRIP = 0.05f;
// Bullet's suspension spring acts explicitly; per tire it is kept soft enough
// that the chassis oscillation stays well inside the stable range at the
// running step length (natural frequency times step with all tires loaded).
constexpr float MAX_SPRING_FREQUENCY_STEP = 0.5f;
// A tire only pushes while its ray reaches the ground. The ray starts this far
// above the mounting point, so that a suspension of a millimetre keeps its
// contact through the small bounces of the chassis; the spring's rest point
// moves up by the same amount, which leaves the tire's resting place unchanged.
constexpr float RAY_REACH = 0.05f;

// Rays of the tires ignore the chassis they hang from.
class ChassisRaycaster : public btVehicleRaycaster {
public:
    ChassisRaycaster(btDynamicsWorld* world, const btCollisionObject* chassis) : world(world), chassis(chassis) {}

    void* castRay(const btVector3& from, const btVector3& to, btVehicleRaycasterResult& result) override {
        struct Closest : btCollisionWorld::ClosestRayResultCallback {
            Closest(const btVector3& from, const btVector3& to, const btCollisionObject* skip)
                : ClosestRayResultCallback(from, to), skip(skip) {}
            bool needsCollision(btBroadphaseProxy* proxy) const override {
                return proxy->m_clientObject != skip && ClosestRayResultCallback::needsCollision(proxy);
            }
            const btCollisionObject* skip;
        } closest(from, to, chassis);
        world->rayTest(from, to, closest);
        if (!closest.hasHit()) return nullptr;
        const btRigidBody* ground = btRigidBody::upcast(closest.m_collisionObject);
        if (!ground || !ground->hasContactResponse()) return nullptr;
        result.m_hitPointInWorld = closest.m_hitPointWorld;
        result.m_hitNormalInWorld = closest.m_hitNormalWorld.normalized();
        result.m_distFraction = closest.m_closestHitFraction;
        return const_cast<btRigidBody*>(ground);
    }

private:
    btDynamicsWorld* world;
    const btCollisionObject* chassis;
};

struct Tire {
    int wheel = 0;                 // index in Bullet's vehicle
    btTransform local;             // mounting point and orientation, chassis origin space
    btVector3 pin{0, 0, 1};        // axle, chassis space, unit length
    float mass = 0, width = 0, radius = 0;
    float shock = 0, spring = 0, length = 0;
    void* userData = nullptr;
    int collisionID = 0;

    float steer = 0;               // radians, kept
    float torque = 0;              // kept
    bool braking = false;          // next sub-step only
    float brakeAcceleration = 0;
    float brakeTorqueLimit = 0;
    float sideSlipSpeed = -1;      // next sub-step only; negative: not limited
};

btMatrix3x3 rotation(const btVector3& axis, float angle) { return btMatrix3x3(btQuaternion(axis, angle)); }

}  // namespace

struct NewtonJoint {
    NewtonWorld* world = nullptr;
    NewtonBody* chassis = nullptr;
    std::unique_ptr<ChassisRaycaster> raycaster;
    std::unique_ptr<btRaycastVehicle> vehicle;
    NewtonVehicleTireUpdate tireCallback = nullptr;
    btVector3 up{0, 1, 0};       // chassis space
    int forwardAxis = -1;        // chassis axis nearest the forward direction, from the first tire
    float forwardSign = 1;
    std::vector<std::unique_ptr<Tire>> tires;

    Tire* find(void* tireId) const {
        for (const auto& tire : tires) {
            if (tire.get() == tireId) return tire.get();
        }
        return nullptr;
    }
    btVector3 forwardOf(const Tire& tire) const { return rotation(up, tire.steer) * up.cross(tire.pin); }
    float longitudinalSpeed(const Tire& tire) const;
    void applyTire(Tire& tire);
};

float NewtonJoint::longitudinalSpeed(const Tire& tire) const {
    const btRigidBody& body = *chassis->rigid;
    btTransform origin = chassis->originPose();
    btVector3 mount = origin(tire.local.getOrigin());
    btVector3 forward = origin.getBasis() * forwardOf(tire);
    return forward.dot(body.getVelocityInLocalPoint(mount - body.getCenterOfMassPosition()));
}

void NewtonJoint::applyTire(Tire& tire) {
    btWheelInfo& wheel = vehicle->getWheelInfo(tire.wheel);
    float mass = chassis->mass;
    float dt = world->subStep;
    int count = int(tires.size());

    wheel.m_chassisConnectionPointCS = tire.local.getOrigin() + up * RAY_REACH - chassis->centreOfMass;
    float stiffness = tire.spring / mass;
    float stableLimit = MAX_SPRING_FREQUENCY_STEP * MAX_SPRING_FREQUENCY_STEP / (count * dt * dt);
    wheel.m_suspensionStiffness = std::min(stiffness, stableLimit);
    wheel.m_wheelsDampingCompression = tire.shock / mass;
    wheel.m_wheelsDampingRelaxation = tire.shock / mass;
    wheel.m_steering = tire.steer;

    if (tire.braking) {
        float stopping = tire.brakeAcceleration * mass / count;
        float limit = tire.brakeTorqueLimit / tire.radius;
        wheel.m_engineForce = 0;
        wheel.m_brake = std::max(0.0f, std::min(stopping, limit)) * dt;
    } else {
        wheel.m_engineForce = tire.torque / tire.radius;
        wheel.m_brake = 0;
    }
    float grip = world->material.staticFriction;
    if (tire.sideSlipSpeed >= 0) grip *= std::clamp(tire.sideSlipSpeed, MIN_SIDE_GRIP, 1.0f);
    wheel.m_frictionSlip = grip;

    tire.braking = false;
    tire.sideSlipSpeed = -1;
}

namespace newton_bullet {

void vehiclePrepareStep(NewtonJoint* joint, float dt) {
    // Bullet's vehicle divides by the chassis mass: it runs only on a moving chassis.
    if (!joint->chassis->isDynamic() || joint->chassis->frozenOutside) return;
    if (joint->tireCallback) joint->tireCallback(joint);
    for (auto& tire : joint->tires) joint->applyTire(*tire);
    // The tires' impulses go in before the step, together with the forces,
    // so that a car at rest also reads a velocity of zero.
    joint->vehicle->updateVehicle(dt);
}

void destroyVehicle(NewtonJoint* joint) { delete joint; }

}  // namespace newton_bullet

namespace {

bool checkVehicle(const NewtonJoint* vehicle, const char* function) {
    if (vehicle) return true;
    printf("\n %s(): WARNING! no vehicle given", function);
    return false;
}

Tire* checkTire(const NewtonJoint* vehicle, void* tireId, const char* function) {
    if (!checkVehicle(vehicle, function)) return nullptr;
    Tire* tire = vehicle->find(tireId);
    if (!tire) printf("\n %s(): WARNING! unknown tire", function);
    return tire;
}

bool checkValue(float value, const char* function) {
    if (std::isfinite(value)) return true;
    printf("\n %s(): WARNING! invalid value ignored", function);
    return false;
}

}  // namespace

NewtonJoint* NewtonConstraintCreateVehicle(NewtonWorld* world, const float* upDir, NewtonBody* body) {
    if (!world || !body || body->world != world) {
        printf("\n NewtonConstraintCreateVehicle(): WARNING! no world or no body of that world given");
        return nullptr;
    }
    btVector3 up(0, 1, 0);
    if (upDir && isFinite(upDir, 3) && btVector3(upDir[0], upDir[1], upDir[2]).length2() > 1e-12f) {
        up.setValue(upDir[0], upDir[1], upDir[2]);
    } else {
        printf("\n NewtonConstraintCreateVehicle(): WARNING! invalid up direction, (0, 1, 0) used");
    }
    auto* joint = new NewtonJoint;
    joint->world = world;
    joint->chassis = body;
    // The up direction is given in the world; the vehicle keeps it in chassis space.
    joint->up = (body->originPose().getBasis().transpose() * up).normalized();
    joint->raycaster = std::make_unique<ChassisRaycaster>(world->dynamics.get(), body->rigid.get());
    btRaycastVehicle::btVehicleTuning tuning;
    joint->vehicle = std::make_unique<btRaycastVehicle>(tuning, body->rigid.get(), joint->raycaster.get());
    world->vehicles.push_back(joint);

    // A sleeping chassis would leave its suspension unloaded.
    body->autoFreeze = false;
    if (body->isDynamic() && !body->frozenOutside) body->rigid->forceActivationState(DISABLE_DEACTIVATION);
    return joint;
}

void NewtonVehicleSetTireCallback(NewtonJoint* vehicle, NewtonVehicleTireUpdate update) {
    if (checkVehicle(vehicle, "NewtonVehicleSetTireCallback")) vehicle->tireCallback = update;
}

void* NewtonVehicleAddTire(NewtonJoint* vehicle, const float* localMatrix, const float* pin, float mass, float width,
                           float radius, float suspensionShock, float suspensionSpring, float suspensionLength,
                           void* userData, int collisionID) {
    const char* name = "NewtonVehicleAddTire";
    if (!checkVehicle(vehicle, name)) return nullptr;
    auto tire = std::make_unique<Tire>();
    if (!localMatrix || !readMatrix(localMatrix, tire->local)) {
        printf("\n %s(): WARNING! invalid tire matrix, tire not added", name);
        return nullptr;
    }
    btVector3 axle = pin && isFinite(pin, 3) ? btVector3(pin[0], pin[1], pin[2]) : btVector3(0, 0, 0);
    if (axle.length2() < 1e-12f || vehicle->up.cross(axle.normalized()).length2() < 1e-6f) {
        printf("\n %s(): WARNING! tire pin missing or parallel to up, tire not added", name);
        return nullptr;
    }
    const float values[6] = {mass, width, radius, suspensionShock, suspensionSpring, suspensionLength};
    if (!isFinite(values, 6)) {
        printf("\n %s(): WARNING! invalid tire values, tire not added", name);
        return nullptr;
    }
    tire->pin = axle.normalized();
    tire->mass = std::max(0.0f, mass);
    tire->width = std::max(0.0f, width);
    tire->radius = std::max(0.5f * MIN_EXTENT, radius);
    tire->shock = std::max(0.0f, suspensionShock);
    tire->spring = std::max(0.0f, suspensionSpring);
    tire->length = std::max(0.0f, suspensionLength);
    tire->userData = userData;
    tire->collisionID = collisionID;

    btVector3 forward = vehicle->up.cross(tire->pin);
    if (vehicle->forwardAxis < 0) {
        // Bullet names the chassis axes by index: up and forward are the
        // chassis axes nearest to ours, right the third one.
        int upAxis = vehicle->up.absolute().maxAxis();
        btVector3 level = forward.absolute();
        level[upAxis] = -1;
        vehicle->forwardAxis = level.maxAxis();
        vehicle->forwardSign = forward[vehicle->forwardAxis] < 0 ? -1.0f : 1.0f;
        vehicle->vehicle->setCoordinateSystem(3 - upAxis - vehicle->forwardAxis, upAxis, vehicle->forwardAxis);
    }
    btRaycastVehicle::btVehicleTuning tuning;
    tuning.m_maxSuspensionTravelCm = 100.0f * (tire->length + RAY_REACH + tire->radius);
    tuning.m_maxSuspensionForce = BT_LARGE_FLOAT;
    // Bullet drives along up x axle: with the pin as axle that is forward.
    btVector3 top = tire->local.getOrigin() + vehicle->up * RAY_REACH - vehicle->chassis->centreOfMass;
    btWheelInfo& wheel = vehicle->vehicle->addWheel(top, -vehicle->up, tire->pin, tire->length + RAY_REACH,
                                                    tire->radius, tuning, false);
    wheel.m_clientInfo = tire.get();
    tire->wheel = vehicle->vehicle->getNumWheels() - 1;
    vehicle->vehicle->resetSuspension();
    vehicle->tires.push_back(std::move(tire));
    return vehicle->tires.back().get();
}

void* NewtonVehicleGetFirstTireID(NewtonJoint* vehicle) {
    if (!checkVehicle(vehicle, "NewtonVehicleGetFirstTireID") || vehicle->tires.empty()) return nullptr;
    return vehicle->tires.front().get();
}

void* NewtonVehicleGetNextTireID(NewtonJoint* vehicle, void* tireId) {
    if (!checkTire(vehicle, tireId, "NewtonVehicleGetNextTireID")) return nullptr;
    for (size_t i = 0; i + 1 < vehicle->tires.size(); ++i) {
        if (vehicle->tires[i].get() == tireId) return vehicle->tires[i + 1].get();
    }
    return nullptr;
}

void* NewtonVehicleGetTireUserData(NewtonJoint* vehicle, void* tireId) {
    Tire* tire = checkTire(vehicle, tireId, "NewtonVehicleGetTireUserData");
    return tire ? tire->userData : nullptr;
}

float NewtonVehicleGetTireSteerAngle(NewtonJoint* vehicle, void* tireId) {
    Tire* tire = checkTire(vehicle, tireId, "NewtonVehicleGetTireSteerAngle");
    return tire ? tire->steer : 0.0f;
}

void NewtonVehicleSetTireSteerAngle(NewtonJoint* vehicle, void* tireId, float angle) {
    const char* name = "NewtonVehicleSetTireSteerAngle";
    Tire* tire = checkTire(vehicle, tireId, name);
    if (tire && checkValue(angle, name)) tire->steer = angle;
}

void NewtonVehicleSetTireTorque(NewtonJoint* vehicle, void* tireId, float torque) {
    const char* name = "NewtonVehicleSetTireTorque";
    Tire* tire = checkTire(vehicle, tireId, name);
    if (tire && checkValue(torque, name)) tire->torque = torque;
}

float NewtonVehicleTireCalculateMaxBrakeAcceleration(NewtonJoint* vehicle, void* tireId) {
    Tire* tire = checkTire(vehicle, tireId, "NewtonVehicleTireCalculateMaxBrakeAcceleration");
    if (!tire) return 0.0f;
    return std::fabs(vehicle->longitudinalSpeed(*tire)) / vehicle->world->subStep;
}

void NewtonVehicleTireSetBrakeAcceleration(NewtonJoint* vehicle, void* tireId, float acceleration,
                                           float torqueLimit) {
    const char* name = "NewtonVehicleTireSetBrakeAcceleration";
    Tire* tire = checkTire(vehicle, tireId, name);
    if (!tire || !checkValue(acceleration, name) || !checkValue(torqueLimit, name)) return;
    tire->braking = true;
    tire->brakeAcceleration = std::fabs(acceleration);
    tire->brakeTorqueLimit = std::fabs(torqueLimit);
}

void NewtonVehicleSetTireMaxSideSleepSpeed(NewtonJoint* vehicle, void* tireId, float speed) {
    const char* name = "NewtonVehicleSetTireMaxSideSleepSpeed";
    Tire* tire = checkTire(vehicle, tireId, name);
    if (tire && checkValue(speed, name)) tire->sideSlipSpeed = std::fabs(speed);
}

float NewtonVehicleGetTireLongitudinalSpeed(NewtonJoint* vehicle, void* tireId) {
    Tire* tire = checkTire(vehicle, tireId, "NewtonVehicleGetTireLongitudinalSpeed");
    return tire ? vehicle->longitudinalSpeed(*tire) : 0.0f;
}

void NewtonVehicleGetTireMatrix(NewtonJoint* vehicle, void* tireId, float* matrix) {
    Tire* tire = checkTire(vehicle, tireId, "NewtonVehicleGetTireMatrix");
    if (!tire || !matrix) return;
    const btWheelInfo& wheel = vehicle->vehicle->getWheelInfo(tire->wheel);
    // Bullet counts the roll along its forward axis; rolling forward turns
    // the tire backwards about its pin.
    float spin = -vehicle->forwardSign * wheel.m_rotation;
    float hanging = std::min(tire->length, wheel.m_raycastInfo.m_suspensionLength - RAY_REACH);
    btVector3 centre = tire->local.getOrigin() - vehicle->up * hanging;
    btTransform local(rotation(vehicle->up, tire->steer) * rotation(tire->pin, spin) * tire->local.getBasis(),
                      centre);
    writeMatrix(vehicle->chassis->originPose() * local, matrix);
}
