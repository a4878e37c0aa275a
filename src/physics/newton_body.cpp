// Bodies of the Newton-style interface. Bullet keeps a rigid body's frame at
// its centre of mass; the interface speaks of the body's origin. The body
// therefore moves its collision by -centreOfMass and converts every pose.
#include "physics/newton_bullet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace newton_bullet;

namespace {

// Newton-style default drag: a tenth of the velocity is lost per second.
constexpr float DEFAULT_DAMPING = 0.1f;
// Below these speeds (m/s, rad/s) for two seconds an auto-freezing body sleeps.
constexpr float SLEEP_LINEAR = 0.05f;
constexpr float SLEEP_ANGULAR = 0.05f;

bool checkBody(const NewtonBody* body, const char* function) {
    if (body) return true;
    printf("\n %s(): WARNING! no body given", function);
    return false;
}

bool checkVector(const float* v, const char* function) {
    if (v && isFinite(v, 3)) return true;
    printf("\n %s(): WARNING! invalid vector ignored", function);
    return false;
}

btTransform translation(const btVector3& offset) { return btTransform(btMatrix3x3::getIdentity(), offset); }

}  // namespace

btTransform NewtonBody::originPose() const { return rigid->getWorldTransform() * translation(-centreOfMass); }

void NewtonBody::setOriginPose(const btTransform& pose) {
    btTransform centre = pose * translation(centreOfMass);
    rigid->setWorldTransform(centre);
    rigid->setInterpolationWorldTransform(centre);
    world->dynamics->updateSingleAabb(rigid.get());
}

void NewtonBody::rebuild() {
    world->dynamics->removeRigidBody(rigid.get());

    btCollisionShape* shape = collision->shape();
    shiftedShape.reset();
    if (!centreOfMass.fuzzyZero()) {
        shiftedShape = std::make_unique<btCompoundShape>(true);
        addFlattened(*shiftedShape, shape, translation(-centreOfMass));
        shape = shiftedShape.get();
    }
    rigid->setCollisionShape(shape);

    btVector3 inertia(0, 0, 0);
    if (isDynamic() && collision->kind != NewtonCollision::Kind::Empty) {
        // Inertia left at zero is taken from the shape, so that bodies tilt.
        btVector3 derived(0, 0, 0);
        shape->calculateLocalInertia(mass, derived);
        for (int axis = 0; axis < 3; ++axis) {
            inertia[axis] = requestedInertia[axis] > 0 ? requestedInertia[axis] : derived[axis];
        }
    }
    rigid->setMassProps(mass, inertia);
    rigid->updateInertiaTensor();
    if (!isDynamic()) {
        rigid->setLinearVelocity(btVector3(0, 0, 0));
        rigid->setAngularVelocity(btVector3(0, 0, 0));
    }

    world->dynamics->addRigidBody(rigid.get());
    if (isDynamic() && !frozenOutside) {
        rigid->forceActivationState(autoFreeze ? ACTIVE_TAG : DISABLE_DEACTIVATION);
        rigid->setDeactivationTime(0);
    }
}

void NewtonBody::wake() {
    if (!isDynamic()) return;
    if (frozenOutside) {
        frozenOutside = false;
        rigid->forceActivationState(autoFreeze ? ACTIVE_TAG : DISABLE_DEACTIVATION);
        rigid->setDeactivationTime(0);
    } else {
        rigid->activate(true);
    }
}

void NewtonBody::applyMaterial() {
    // Bullet multiplies the values of the two bodies in contact; the square
    // roots give the pair exactly the material's values. Bullet knows one
    // friction coefficient: the static one keeps resting bodies in place.
    rigid->setFriction(std::sqrt(world->material.staticFriction));
    rigid->setRestitution(std::sqrt(world->material.elasticity));
}

NewtonBody* NewtonCreateBody(NewtonWorld* world, NewtonCollision* collision) {
    if (!world) {
        printf("\n NewtonCreateBody(): WARNING! no world given");
        return nullptr;
    }
    if (!collision || !world->owns(collision) || collision->building) {
        printf("\n NewtonCreateBody(): WARNING! unusable collision, the body collides with nothing");
        collision = makeEmptyCollision(world);
    } else {
        ++collision->references;
    }
    auto body = std::make_unique<NewtonBody>();
    body->world = world;
    body->collision = collision;
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, nullptr, collision->shape());
    body->rigid.reset(new btRigidBody(info));
    body->rigid->setUserPointer(body.get());
    if (collision->kind == NewtonCollision::Kind::Tree) {
        body->rigid->setCollisionFlags(body->rigid->getCollisionFlags() | btCollisionObject::CF_CUSTOM_MATERIAL_CALLBACK);
    }
    body->rigid->setDamping(DEFAULT_DAMPING, DEFAULT_DAMPING);
    body->rigid->setSleepingThresholds(SLEEP_LINEAR, SLEEP_ANGULAR);
    body->applyMaterial();
    world->dynamics->addRigidBody(body->rigid.get());
    world->bodies.push_back(std::move(body));
    return world->bodies.back().get();
}

void NewtonBodySetMatrix(NewtonBody* body, const float* matrix) {
    if (!checkBody(body, "NewtonBodySetMatrix")) return;
    btTransform pose;
    if (!matrix || !readMatrix(matrix, pose)) {
        printf("\n NewtonBodySetMatrix(): WARNING! invalid matrix ignored");
        return;
    }
    body->setOriginPose(pose);
    body->wake();
}

void NewtonBodyGetMatrix(NewtonBody* body, float* matrix) {
    if (!checkBody(body, "NewtonBodyGetMatrix") || !matrix) return;
    writeMatrix(body->originPose(), matrix);
}

void NewtonBodySetUserData(NewtonBody* body, void* userData) {
    if (checkBody(body, "NewtonBodySetUserData")) body->userData = userData;
}

void* NewtonBodyGetUserData(NewtonBody* body) {
    return checkBody(body, "NewtonBodyGetUserData") ? body->userData : nullptr;
}

void NewtonBodySetMassMatrix(NewtonBody* body, float mass, float Ixx, float Iyy, float Izz) {
    if (!checkBody(body, "NewtonBodySetMassMatrix")) return;
    const float values[4] = {mass, Ixx, Iyy, Izz};
    if (!isFinite(values, 4) || mass < 0.0f) {
        printf("\n NewtonBodySetMassMatrix(): WARNING! invalid mass %f ignored", mass);
        return;
    }
    if (mass > 0.0f && body->collision->isStaticOnly()) {
        printf("\n NewtonBodySetMassMatrix(): WARNING! a body with a collision tree stays static");
        return;
    }
    body->mass = mass;
    body->requestedInertia.setValue(Ixx, Iyy, Izz);
    body->rebuild();
}

void NewtonBodyGetMassMatrix(NewtonBody* body, float* mass, float* Ixx, float* Iyy, float* Izz) {
    if (!checkBody(body, "NewtonBodyGetMassMatrix")) return;
    btVector3 inertia = body->isDynamic() ? body->rigid->getLocalInertia() : btVector3(0, 0, 0);
    if (mass) *mass = body->mass;
    if (Ixx) *Ixx = inertia.x();
    if (Iyy) *Iyy = inertia.y();
    if (Izz) *Izz = inertia.z();
}

void NewtonBodySetForceAndTorqueCallback(NewtonBody* body, NewtonApplyForceAndTorque callback) {
    if (checkBody(body, "NewtonBodySetForceAndTorqueCallback")) body->forceCallback = callback;
}

void NewtonBodySetForce(NewtonBody* body, const float* force) {
    if (!checkBody(body, "NewtonBodySetForce") || !checkVector(force, "NewtonBodySetForce")) return;
    body->force.setValue(force[0], force[1], force[2]);
}

void NewtonBodySetTransformCallback(NewtonBody* body, NewtonSetTransform callback) {
    if (checkBody(body, "NewtonBodySetTransformCallback")) body->transformCallback = callback;
}

void NewtonBodySetOmega(NewtonBody* body, const float* omega) {
    if (!checkBody(body, "NewtonBodySetOmega") || !checkVector(omega, "NewtonBodySetOmega")) return;
    if (!body->isDynamic()) return;  // a static body moving would drag what rests on it
    btVector3 value(omega[0], omega[1], omega[2]);
    body->rigid->setAngularVelocity(value);
    if (!value.fuzzyZero()) body->wake();
}

void NewtonBodySetVelocity(NewtonBody* body, const float* velocity) {
    if (!checkBody(body, "NewtonBodySetVelocity") || !checkVector(velocity, "NewtonBodySetVelocity")) return;
    if (!body->isDynamic()) return;
    btVector3 value(velocity[0], velocity[1], velocity[2]);
    body->rigid->setLinearVelocity(value);
    if (!value.fuzzyZero()) body->wake();
}

void NewtonBodyGetVelocity(NewtonBody* body, float* velocity) {
    if (!checkBody(body, "NewtonBodyGetVelocity") || !velocity) return;
    const btVector3& v = body->rigid->getLinearVelocity();
    velocity[0] = v.x();
    velocity[1] = v.y();
    velocity[2] = v.z();
}

void NewtonBodySetCentreOfMass(NewtonBody* body, const float* com) {
    if (!checkBody(body, "NewtonBodySetCentreOfMass") || !checkVector(com, "NewtonBodySetCentreOfMass")) return;
    btTransform pose = body->originPose();
    body->centreOfMass.setValue(com[0], com[1], com[2]);
    body->rebuild();
    body->setOriginPose(pose);
}

void NewtonBodySetMaterialGroupID(NewtonBody* body, int id) {
    if (!checkBody(body, "NewtonBodySetMaterialGroupID")) return;
    if (id != 0) {
        printf("\n NewtonBodySetMaterialGroupID(): WARNING! unknown material group %d, default group kept", id);
        return;
    }
    body->materialGroup = id;
}

void NewtonBodySetAutoFreeze(NewtonBody* body, int state) {
    if (!checkBody(body, "NewtonBodySetAutoFreeze")) return;
    body->autoFreeze = state != 0;
    if (body->isDynamic() && !body->frozenOutside) {
        body->rigid->forceActivationState(body->autoFreeze ? ACTIVE_TAG : DISABLE_DEACTIVATION);
    }
}

void NewtonWorldUnfreezeBody(NewtonWorld* world, NewtonBody* body) {
    if (!world || !checkBody(body, "NewtonWorldUnfreezeBody")) return;
    body->wake();
}

void NewtonBodySetLinearDamping(NewtonBody* body, float linearDamp) {
    if (!checkBody(body, "NewtonBodySetLinearDamping")) return;
    if (!std::isfinite(linearDamp)) {
        printf("\n NewtonBodySetLinearDamping(): WARNING! invalid damping ignored");
        return;
    }
    body->rigid->setDamping(std::clamp(linearDamp, 0.0f, 1.0f), body->rigid->getAngularDamping());
}
