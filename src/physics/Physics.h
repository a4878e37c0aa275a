#pragma once
#include <cstdint>
#include <set>

#include "physics/newton.h"

// The rigid-body world of the game and what belongs to it as a whole: the one
// world of the process, gravity, the minimum simulation frame rate, the
// material groups, the gravity callback of every ordinary dynamic body and the
// wire-frame view of all collision shapes. Everything is static.
class Physics {
public:
    // The only world; every body, collision and joint belongs to it. It is
    // replaced by reset() and freed by release() (then null until reset()).
    static NewtonWorld* newtonWorld;
    static float gForce;  // gravity acceleration along Y (Y is up)
    static float minFPS;  // minimum simulation frame rate; the updater's step is 1 / minFPS
    static int defaultMat;
    static int levelMat;  // terrain
    static int carMat;    // player car
    // Bodies whose gravity force is pending (filled and flushed by the callback).
    static std::set<NewtonBody*> bodies;
    // Corners of the box whose bodies the debug view draws (set by the debug node).
    static float debugLinesMin[3];
    static float debugLinesMax[3];
    // Counts the worlds made: a body made while it had a value lives as long
    // as it still has that value (see GeometryNode::PhysicVolume).
    static unsigned worldGeneration;

    // A new world with the minimum frame rate and the default materials.
    static void init();
    // Frees the current world with everything in it, then init().
    static void reset();
    // Frees the current world; newtonWorld is null afterwards.
    static void release();
    static void initMaterials();
    static void releaseMaterials() {}

    // Allocator pair with the signatures of the world's allocator callbacks,
    // keeping count of the bytes handed out.
    static void* memAlloc(int sizeInBytes);
    static void memFree(void* ptr, int sizeInBytes);
    static std::int32_t getAllocatedMemory() { return physicMemory; }

    // Force-and-torque callback of every ordinary dynamic body: plain gravity.
    static void handleForceAndTorque(NewtonBody* body);
    // Applies gravity to every pending body and empties the set.
    static void applyForceAndTorque(double elapsedTime);

    // Draws the faces of every body in the debug box as blue lines.
    static void DebugShowCollision();
    static void DebugShowBodyCollision(NewtonBody* body);
    // The closed outline of one face: vertexCount line segments.
    static void DebugShowGeometryCollision(NewtonBody* body, int vertexCount, const float* faceVertec, int id);

protected:
    static std::int32_t physicMemory;
};
