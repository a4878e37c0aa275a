// The world of the Newton-style interface: creation, destruction, the update
// with its sub-steps and callbacks, the simulated region, the default material
// pair and the debug iteration over bodies.
#include "physics/newton_bullet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace newton_bullet;

namespace {

// A very long update (a stalled frame) is split into at most this many steps.
constexpr int MAX_SUB_STEPS = 1000;
// Contact manifolds and collision algorithms come from pools made with the
// world, 4096 of each by default: about 4 MB, written through at once. A level
// has a few dozen touching pairs, and beyond its pool Bullet takes further
// ones from the heap, so smaller pools change nothing but memory.
constexpr int CONTACT_POOL_SIZE = 256;

// Worlds alive, so that a second NewtonDestroy of the same handle is caught.
std::unordered_set<NewtonWorld*>& liveWorlds() {
    static std::unordered_set<NewtonWorld*> worlds;
    return worlds;
}

// Keeps every pair apart while the default material pair is not collidable.
struct MaterialPairFilter : btOverlapFilterCallback {
    explicit MaterialPairFilter(const NewtonWorld* w) : world(w) {}
    bool needBroadphaseCollision(btBroadphaseProxy* a, btBroadphaseProxy* b) const override {
        bool masks = (a->m_collisionFilterGroup & b->m_collisionFilterMask) != 0 &&
                     (b->m_collisionFilterGroup & a->m_collisionFilterMask) != 0;
        return masks && world->material.collidable;
    }
    const NewtonWorld* world;
};

bool checkGroups(const NewtonWorld* world, int id0, int id1, const char* function) {
    if (!checkWorld(world, function)) return false;
    if (id0 == 0 && id1 == 0) return true;
    printf("\n %s(): WARNING! unknown material group pair (%d, %d)", function, id0, id1);
    return false;
}

void forEachBody(NewtonWorld* world, void (*action)(NewtonBody&)) {
    for (auto& body : world->bodies) action(*body);
}

// Runs the force callbacks of the awake dynamic bodies and the vehicles' tire
// callbacks, then advances Bullet by one step of dt seconds.
void subStep(NewtonWorld* world, float dt) {
    world->subStep = dt;
    // Index loops: a callback may create bodies.
    for (size_t i = 0; i < world->bodies.size(); ++i) {
        NewtonBody* body = world->bodies[i].get();
        if (!body->isDynamic() || !body->rigid->isActive()) continue;
        body->moved = true;
        body->force.setZero();
        if (body->forceCallback) body->forceCallback(body);
    }
    for (auto& body : world->bodies) {
        if (body->isDynamic() && body->rigid->isActive()) body->rigid->applyCentralForce(body->force);
    }
    for (size_t i = 0; i < world->vehicles.size(); ++i) vehiclePrepareStep(world->vehicles[i], dt);

    world->dynamics->stepSimulation(dt, 0);

    for (auto& body : world->bodies) {
        if (!body->isDynamic() || !body->rigid->isActive()) continue;
        body->moved = true;
        if (!world->isInside(body->originPose().getOrigin())) {
            body->frozenOutside = true;
            body->rigid->setLinearVelocity(btVector3(0, 0, 0));
            body->rigid->setAngularVelocity(btVector3(0, 0, 0));
            body->rigid->forceActivationState(DISABLE_SIMULATION);
        }
    }
}

}  // namespace

namespace newton_bullet {

bool checkWorld(const NewtonWorld* world, const char* function) {
    if (world) return true;
    printf("\n %s(): WARNING! no world given", function);
    return false;
}

bool isFinite(const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) return false;
    }
    return true;
}

bool readMatrix(const float* m, btTransform& out) {
    if (!isFinite(m, 16)) return false;
    btVector3 x(m[0], m[1], m[2]);
    btVector3 y(m[4], m[5], m[6]);
    btVector3 z(m[8], m[9], m[10]);
    const btScalar tiny = 1e-12f;
    if (x.length2() < tiny || y.length2() < tiny || z.length2() < tiny) return false;
    x.normalize();
    y -= x * x.dot(y);
    if (y.length2() < tiny) return false;
    y.normalize();
    z = x.cross(y);
    btMatrix3x3 basis(x.x(), y.x(), z.x(), x.y(), y.y(), z.y(), x.z(), y.z(), z.z());
    out.setBasis(basis);
    out.setOrigin(btVector3(m[12], m[13], m[14]));
    return true;
}

void writeMatrix(const btTransform& t, float* m) {
    const btMatrix3x3& b = t.getBasis();
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) m[column * 4 + row] = b[row][column];
        m[column * 4 + 3] = 0.0f;
    }
    m[12] = t.getOrigin().x();
    m[13] = t.getOrigin().y();
    m[14] = t.getOrigin().z();
    m[15] = 1.0f;
}

}  // namespace newton_bullet

bool NewtonWorld::owns(const NewtonCollision* collision) const {
    return collisions.count(const_cast<NewtonCollision*>(collision)) != 0;
}

bool NewtonWorld::isInside(const btVector3& p) const {
    for (int axis = 0; axis < 3; ++axis) {
        if (p[axis] < worldMin[axis] || p[axis] > worldMax[axis]) return false;
    }
    return true;
}

void NewtonWorld::freeCollision(NewtonCollision* collision) {
    collisions.erase(collision);
    delete collision;
}

NewtonWorld* NewtonCreate(NewtonAllocMemory, NewtonFreeMemory) {
    auto* world = new NewtonWorld;
    btDefaultCollisionConstructionInfo pools;
    pools.m_defaultMaxPersistentManifoldPoolSize = CONTACT_POOL_SIZE;
    pools.m_defaultMaxCollisionAlgorithmPoolSize = CONTACT_POOL_SIZE;
    world->configuration = std::make_unique<btDefaultCollisionConfiguration>(pools);
    world->dispatcher = std::make_unique<btCollisionDispatcher>(world->configuration.get());
    world->broadphase = std::make_unique<btDbvtBroadphase>();
    world->solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    world->dynamics = std::make_unique<btDiscreteDynamicsWorld>(world->dispatcher.get(), world->broadphase.get(),
                                                                world->solver.get(), world->configuration.get());
    world->dynamics->setGravity(btVector3(0, 0, 0));  // gravity comes from the force callbacks
    // Boxes (which know their faces) meet triangles face to face: whole
    // contact patches at once instead of a point per step.
    world->dynamics->getDispatchInfo().m_enableSatConvex = true;
    // Penetrations are always resolved by moving the bodies apart, never by
    // giving them speed: with the very short steps an update can end with
    // (a millisecond), a speed-based correction makes resting bodies jump.
    world->dynamics->getSolverInfo().m_splitImpulse = 1;
    world->dynamics->getSolverInfo().m_splitImpulsePenetrationThreshold = 0.0f;
    world->pairFilter = std::make_unique<MaterialPairFilter>(world);
    world->dynamics->getPairCache()->setOverlapFilterCallback(world->pairFilter.get());
    installTreeContactSmoothing();
    liveWorlds().insert(world);
    return world;
}

void NewtonDestroy(NewtonWorld* world) {
    if (!checkWorld(world, "NewtonDestroy")) return;
    if (liveWorlds().erase(world) == 0) {
        printf("\n NewtonDestroy(): WARNING! world already destroyed");
        return;
    }
    if (world->updating) {
        printf("\n NewtonDestroy(): ERROR! world destroyed inside its own update");
    }
    for (NewtonJoint* vehicle : world->vehicles) destroyVehicle(vehicle);
    world->vehicles.clear();
    for (auto& body : world->bodies) world->dynamics->removeRigidBody(body->rigid.get());
    world->bodies.clear();
    for (NewtonCollision* collision : world->collisions) delete collision;
    world->collisions.clear();
    world->dynamics.reset();
    world->pairFilter.reset();
    world->solver.reset();
    world->broadphase.reset();
    world->dispatcher.reset();
    world->configuration.reset();
    delete world;
}

void NewtonSetMinimumFrameRate(NewtonWorld* world, float frameRate) {
    if (!checkWorld(world, "NewtonSetMinimumFrameRate")) return;
    if (!std::isfinite(frameRate) || frameRate <= 0.0f) {
        printf("\n NewtonSetMinimumFrameRate(): WARNING! frame rate %f ignored", frameRate);
        return;
    }
    world->minimumFrameRate = frameRate;
}

void NewtonUpdate(NewtonWorld* world, float timestep) {
    if (!checkWorld(world, "NewtonUpdate")) return;
    if (!std::isfinite(timestep) || timestep < 0.0f) {
        printf("\n NewtonUpdate(): WARNING! time step %f ignored", timestep);
        return;
    }
    if (world->updating) {
        printf("\n NewtonUpdate(): WARNING! called from inside an update");
        return;
    }
    if (timestep == 0.0f) return;

    // The smallest number of equal steps no longer than 1 / minimum frame
    // rate; the slack keeps 0.05 s at 100 Hz at 5 steps despite rounding.
    double exact = double(timestep) * world->minimumFrameRate;
    int steps = std::max(1, int(std::ceil(exact - 1e-4)));
    steps = std::min(steps, MAX_SUB_STEPS);
    float dt = timestep / float(steps);

    world->updating = true;
    for (auto& body : world->bodies) body->moved = false;
    for (int i = 0; i < steps; ++i) subStep(world, dt);
    world->updating = false;

    for (size_t i = 0; i < world->bodies.size(); ++i) {
        NewtonBody* body = world->bodies[i].get();
        if (!body->moved || !body->transformCallback || !body->isDynamic()) continue;
        float matrix[16];
        writeMatrix(body->originPose(), matrix);
        body->transformCallback(body, matrix);
    }
}

void NewtonSetWorldSize(NewtonWorld* world, const float* minPoint, const float* maxPoint) {
    if (!checkWorld(world, "NewtonSetWorldSize")) return;
    if (!minPoint || !maxPoint || !isFinite(minPoint, 3) || !isFinite(maxPoint, 3)) {
        printf("\n NewtonSetWorldSize(): WARNING! invalid corners ignored");
        return;
    }
    for (int axis = 0; axis < 3; ++axis) {
        world->worldMin[axis] = std::min(minPoint[axis], maxPoint[axis]);
        world->worldMax[axis] = std::max(minPoint[axis], maxPoint[axis]);
    }
}

int NewtonMaterialGetDefaultGroupID(NewtonWorld* world) {
    checkWorld(world, "NewtonMaterialGetDefaultGroupID");
    return 0;
}

void NewtonMaterialSetDefaultSoftness(NewtonWorld* world, int id0, int id1, float value) {
    if (!checkGroups(world, id0, id1, "NewtonMaterialSetDefaultSoftness")) return;
    // Kept for completeness: Bullet's contact solver has no per-pair softness.
    if (std::isfinite(value)) world->material.softness = std::clamp(value, 0.0f, 1.0f);
}

void NewtonMaterialSetDefaultElasticity(NewtonWorld* world, int id0, int id1, float elasticCoef) {
    if (!checkGroups(world, id0, id1, "NewtonMaterialSetDefaultElasticity")) return;
    if (!std::isfinite(elasticCoef)) return;
    world->material.elasticity = std::clamp(elasticCoef, 0.0f, 1.0f);
    forEachBody(world, [](NewtonBody& body) { body.applyMaterial(); });
}

void NewtonMaterialSetDefaultCollidable(NewtonWorld* world, int id0, int id1, int state) {
    if (!checkGroups(world, id0, id1, "NewtonMaterialSetDefaultCollidable")) return;
    bool collidable = state != 0;
    if (collidable == world->material.collidable) return;
    world->material.collidable = collidable;
    // Pairs are filtered when they form: put every body back so that the
    // existing pairs are formed again under the new rule.
    for (auto& body : world->bodies) world->dynamics->removeRigidBody(body->rigid.get());
    for (auto& body : world->bodies) world->dynamics->addRigidBody(body->rigid.get());
}

void NewtonMaterialSetDefaultFriction(NewtonWorld* world, int id0, int id1, float staticFriction,
                                      float kineticFriction) {
    if (!checkGroups(world, id0, id1, "NewtonMaterialSetDefaultFriction")) return;
    if (!std::isfinite(staticFriction) || !std::isfinite(kineticFriction)) return;
    world->material.staticFriction = std::max(0.0f, staticFriction);
    world->material.kineticFriction = std::max(0.0f, kineticFriction);
    forEachBody(world, [](NewtonBody& body) { body.applyMaterial(); });
}

void NewtonWorldForEachBodyInAABBDo(NewtonWorld* world, const float* p0, const float* p1,
                                    NewtonBodyIterator callback) {
    if (!checkWorld(world, "NewtonWorldForEachBodyInAABBDo") || !callback) return;
    if (!p0 || !p1 || !isFinite(p0, 3) || !isFinite(p1, 3)) return;

    struct Collector : btBroadphaseAabbCallback {
        bool process(const btBroadphaseProxy* proxy) override {
            auto* object = static_cast<btCollisionObject*>(proxy->m_clientObject);
            if (auto* body = static_cast<NewtonBody*>(object->getUserPointer())) found.push_back(body);
            return true;
        }
        std::vector<NewtonBody*> found;
    } collector;
    btVector3 low(std::min(p0[0], p1[0]), std::min(p0[1], p1[1]), std::min(p0[2], p1[2]));
    btVector3 high(std::max(p0[0], p1[0]), std::max(p0[1], p1[1]), std::max(p0[2], p1[2]));
    world->dynamics->getBroadphase()->aabbTest(low, high, collector);
    // Called after the query so that a callback may change the world.
    for (NewtonBody* body : collector.found) callback(body);
}
