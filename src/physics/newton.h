#pragma once
// The rigid-body interface the game is written against: a world, bodies,
// collision shapes, the static triangle tree of the terrain, one default
// material pair and a ray-cast vehicle joint. Handles are opaque; the world
// owns every body, collision and joint made in it and frees them all in
// NewtonDestroy (bodies are never destroyed one by one).
//
// Conventions shared by every call:
// - Matrices are 16 floats, column-major, translation in elements 12-14 (the
//   layout of math/Matrix and OpenGL). Vectors are 3 floats.
// - Y is up; gravity is not built in: every dynamic body gets its forces from
//   its force-and-torque callback.
// - Invalid input (null handles, NaN or infinite numbers, negative sizes) is
//   reported on the console in the usual "\n Function(): ..." style and
//   ignored or replaced by the nearest sensible value; it never crashes and
//   never lets a NaN reach other bodies.
//
// The implementation (newton_*.cpp in this folder) runs on Bullet; no header
// outside src/physics sees Bullet.

struct NewtonWorld;
struct NewtonBody;
struct NewtonCollision;
struct NewtonJoint;

// --- callbacks ---------------------------------------------------------------

// Allocator pair of NewtonCreate (accepted for compatibility; the world keeps
// its memory with the simulation library's own allocator).
typedef void* (*NewtonAllocMemory)(int sizeInBytes);
typedef void (*NewtonFreeMemory)(void* ptr, int sizeInBytes);

// Called before every sub-step for every awake dynamic body that has one; the
// force set inside (NewtonBodySetForce) acts for that sub-step only.
typedef void (*NewtonApplyForceAndTorque)(NewtonBody* body);
// Called once at the end of NewtonUpdate for every dynamic body that moved
// during it, with the body's new 16-float pose.
typedef void (*NewtonSetTransform)(NewtonBody* body, const float* matrix);
// Per-face callback of a collision tree (accepted; no per-face callbacks are made).
typedef void (*NewtonTreeCollisionCallback)(NewtonBody* treeBody, NewtonBody* body, const float* vertex,
                                            int vertexStrideInBytes, int indexCount, const int* indexArray);
// One face of a body's shape in world coordinates: vertexCount vertices of 3
// packed floats each (stride 12 bytes).
typedef void (*NewtonCollisionIterator)(NewtonBody* body, int vertexCount, const float* faceArray, int faceId);
typedef void (*NewtonBodyIterator)(NewtonBody* body);
// Called before every sub-step for every vehicle joint that has one, after
// the force callbacks.
typedef void (*NewtonVehicleTireUpdate)(NewtonJoint* vehicle);

// --- world ---------------------------------------------------------------------

NewtonWorld* NewtonCreate(NewtonAllocMemory malloc, NewtonFreeMemory mfree);
void NewtonDestroy(NewtonWorld* newtonWorld);
// Longest sub-step of NewtonUpdate is 1 / frameRate (60 until set).
void NewtonSetMinimumFrameRate(NewtonWorld* newtonWorld, float frameRate);
// Advances the world by exactly timestep seconds in n equal sub-steps, n the
// smallest count whose step is no longer than 1 / minimum frame rate.
void NewtonUpdate(NewtonWorld* newtonWorld, float timestep);
// The simulated region (default -100..100 on every axis); a dynamic body whose
// origin leaves it stops and freezes until it is moved back in or unfrozen.
void NewtonSetWorldSize(NewtonWorld* newtonWorld, const float* minPoint, const float* maxPoint);

// --- materials (only the default group exists) ---------------------------------

int NewtonMaterialGetDefaultGroupID(NewtonWorld* newtonWorld);
void NewtonMaterialSetDefaultSoftness(NewtonWorld* newtonWorld, int id0, int id1, float value);
void NewtonMaterialSetDefaultElasticity(NewtonWorld* newtonWorld, int id0, int id1, float elasticCoef);
void NewtonMaterialSetDefaultCollidable(NewtonWorld* newtonWorld, int id0, int id1, int state);
void NewtonMaterialSetDefaultFriction(NewtonWorld* newtonWorld, int id0, int id1, float staticFriction,
                                      float kineticFriction);

// --- collisions (reference counted: a new one holds one reference) -------------

// Box with edge lengths dx, dy, dz centred on offsetMatrix (null: identity).
NewtonCollision* NewtonCreateBox(NewtonWorld* newtonWorld, float dx, float dy, float dz, const float* offsetMatrix);
// Sphere, or ellipsoid when the three radii differ, centred on offsetMatrix.
NewtonCollision* NewtonCreateSphere(NewtonWorld* newtonWorld, float radiusX, float radiusY, float radiusZ,
                                    const float* offsetMatrix);
// Capsule lying along the local X axis of offsetMatrix, height = total length
// from tip to tip.
NewtonCollision* NewtonCreateCapsule(NewtonWorld* newtonWorld, float radius, float height, const float* offsetMatrix);
// One shape made of all the parts; the compound takes its own reference to each.
NewtonCollision* NewtonCreateCompoundCollision(NewtonWorld* newtonWorld, int count,
                                               NewtonCollision* const collisionPrimitiveArray[]);
// Static triangle mesh, filled between BeginBuild and EndBuild.
NewtonCollision* NewtonCreateTreeCollision(NewtonWorld* newtonWorld, NewtonTreeCollisionCallback userCallback);
void NewtonTreeCollisionBeginBuild(NewtonCollision* treeCollision);
// A convex planar face of vertexCount vertices (>= 3), strideInBytes apart.
void NewtonTreeCollisionAddFace(NewtonCollision* treeCollision, int vertexCount, const float* vertexPtr,
                                int strideInBytes, int faceAttribute);
void NewtonTreeCollisionEndBuild(NewtonCollision* treeCollision, int optimize);
// Drops one reference; the collision is freed when no body or compound uses it.
void NewtonReleaseCollision(NewtonWorld* newtonWorld, NewtonCollision* collision);

// --- bodies ------------------------------------------------------------------------

// A body with the collision (which it references), static until a mass is set.
NewtonBody* NewtonCreateBody(NewtonWorld* newtonWorld, NewtonCollision* collision);
// Teleports the body to the pose of its origin; a scale in the matrix is removed.
void NewtonBodySetMatrix(NewtonBody* body, const float* matrix);
void NewtonBodyGetMatrix(NewtonBody* body, float* matrix);
void NewtonBodySetUserData(NewtonBody* body, void* userData);
void* NewtonBodyGetUserData(NewtonBody* body);
// Mass 0 makes the body static. Inertia values of 0 are derived from the shape.
void NewtonBodySetMassMatrix(NewtonBody* body, float mass, float Ixx, float Iyy, float Izz);
void NewtonBodyGetMassMatrix(NewtonBody* body, float* mass, float* Ixx, float* Iyy, float* Izz);
void NewtonBodySetForceAndTorqueCallback(NewtonBody* body, NewtonApplyForceAndTorque callback);
// World force acting on the centre of mass for the current sub-step.
void NewtonBodySetForce(NewtonBody* body, const float* force);
void NewtonBodySetTransformCallback(NewtonBody* body, NewtonSetTransform callback);
void NewtonBodySetOmega(NewtonBody* body, const float* omega);
void NewtonBodySetVelocity(NewtonBody* body, const float* velocity);
void NewtonBodyGetVelocity(NewtonBody* body, float* velocity);
// Centre of mass in body space; poses stay those of the body's origin.
void NewtonBodySetCentreOfMass(NewtonBody* body, const float* com);
void NewtonBodySetMaterialGroupID(NewtonBody* body, int id);
// state 0: the body is never put to sleep; 1 (default): it sleeps when at rest.
void NewtonBodySetAutoFreeze(NewtonBody* body, int state);
void NewtonWorldUnfreezeBody(NewtonWorld* newtonWorld, NewtonBody* body);
// Fraction of linear velocity lost per second (default 0.1).
void NewtonBodySetLinearDamping(NewtonBody* body, float linearDamp);

// --- debug iteration ---------------------------------------------------------------

// Every face of the body's shape in world coordinates.
void NewtonBodyForEachPolygonDo(NewtonBody* body, NewtonCollisionIterator callback);
// Every body whose bounds meet the box p0..p1.
void NewtonWorldForEachBodyInAABBDo(NewtonWorld* newtonWorld, const float* p0, const float* p1,
                                    NewtonBodyIterator callback);

// --- vehicle joint ---------------------------------------------------------------
// A ray-cast vehicle on a dynamic chassis body. Tire ids are opaque handles.
// Axes in chassis space: up from upDir, the axle from the tire's pin; forward
// is up x pin. A positive torque drives the vehicle forward, a positive steer
// angle turns the tire counter-clockwise seen from above. A tire's local
// matrix places the top of its suspension (and orients its model); the tire
// hangs suspensionLength below it when unloaded. Steer angle and torque stay
// until changed; brake and side-slip settings hold for the next sub-step only.

NewtonJoint* NewtonConstraintCreateVehicle(NewtonWorld* newtonWorld, const float* upDir, NewtonBody* body);
void NewtonVehicleSetTireCallback(NewtonJoint* vehicle, NewtonVehicleTireUpdate update);
void* NewtonVehicleAddTire(NewtonJoint* vehicle, const float* localMatrix, const float* pin, float mass, float width,
                           float radius, float suspensionShock, float suspensionSpring, float suspensionLength,
                           void* userData, int collisionID);
void* NewtonVehicleGetFirstTireID(NewtonJoint* vehicle);
void* NewtonVehicleGetNextTireID(NewtonJoint* vehicle, void* tireId);
void* NewtonVehicleGetTireUserData(NewtonJoint* vehicle, void* tireId);
float NewtonVehicleGetTireSteerAngle(NewtonJoint* vehicle, void* tireId);
void NewtonVehicleSetTireSteerAngle(NewtonJoint* vehicle, void* tireId, float angle);
void NewtonVehicleSetTireTorque(NewtonJoint* vehicle, void* tireId, float torque);
// The deceleration that would stop the tire within one sub-step.
float NewtonVehicleTireCalculateMaxBrakeAcceleration(NewtonJoint* vehicle, void* tireId);
void NewtonVehicleTireSetBrakeAcceleration(NewtonJoint* vehicle, void* tireId, float acceleration,
                                           float torqueLimit);
// Limits the tire's side grip for the next sub-step: a speed s (m/s) leaves
// min(1, s) of the full grip (at least 5 %), so a small value lets it slide.
void NewtonVehicleSetTireMaxSideSleepSpeed(NewtonJoint* vehicle, void* tireId, float speed);
// Speed of the ground under the tire along the tire's rolling direction.
float NewtonVehicleGetTireLongitudinalSpeed(NewtonJoint* vehicle, void* tireId);
// World pose of the tire: steered, spun about its axle, at its suspension height.
void NewtonVehicleGetTireMatrix(NewtonJoint* vehicle, void* tireId, float* matrix);
