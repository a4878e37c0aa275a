#include "physics/Physics.h"

#include <GL/glew.h>

#include <cstdlib>

// Created before main runs, so that a world exists before the first level's
// reset() replaces it. Its frame rate and materials are set by that reset().
NewtonWorld* Physics::newtonWorld = NewtonCreate(nullptr, nullptr);
float Physics::gForce = -9.8f;
float Physics::minFPS = 100.0f;
int Physics::defaultMat = -1;
int Physics::levelMat = -1;
int Physics::carMat = -1;
std::set<NewtonBody*> Physics::bodies;
float Physics::debugLinesMin[3] = {0, 0, 0};
float Physics::debugLinesMax[3] = {0, 0, 0};
std::int32_t Physics::physicMemory = 0;
unsigned Physics::worldGeneration = 0;

void Physics::init() {
    newtonWorld = NewtonCreate(nullptr, nullptr);
    ++worldGeneration;
    NewtonSetMinimumFrameRate(newtonWorld, minFPS);
    initMaterials();
}

void Physics::reset() {
    if (newtonWorld) NewtonDestroy(newtonWorld);
    init();
}

void Physics::release() {
    if (newtonWorld) NewtonDestroy(newtonWorld);
    newtonWorld = nullptr;
    ++worldGeneration;
    bodies.clear();
}

void Physics::initMaterials() {
    defaultMat = NewtonMaterialGetDefaultGroupID(newtonWorld);
    NewtonMaterialSetDefaultSoftness(newtonWorld, defaultMat, defaultMat, 0.05f);
    NewtonMaterialSetDefaultElasticity(newtonWorld, defaultMat, defaultMat, 0.4f);
    NewtonMaterialSetDefaultCollidable(newtonWorld, defaultMat, defaultMat, 1);
    NewtonMaterialSetDefaultFriction(newtonWorld, defaultMat, defaultMat, 1.0f, 0.5f);
    levelMat = defaultMat;
    carMat = defaultMat;
}

void* Physics::memAlloc(int sizeInBytes) {
    physicMemory += sizeInBytes;
    return std::malloc(sizeInBytes > 0 ? size_t(sizeInBytes) : 1);
}

void Physics::memFree(void* ptr, int sizeInBytes) {
    physicMemory -= sizeInBytes;
    std::free(ptr);
}

void Physics::handleForceAndTorque(NewtonBody* body) {
    bodies.insert(body);
    applyForceAndTorque(0.0);
}

void Physics::applyForceAndTorque(double) {
    for (NewtonBody* body : bodies) {
        float mass, ixx, iyy, izz;
        NewtonBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
        const float force[3] = {0.0f, gForce * mass, 0.0f};
        NewtonBodySetForce(body, force);
    }
    bodies.clear();
}

void Physics::DebugShowCollision() {
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    glColor3f(0, 0, 1);
    NewtonWorldForEachBodyInAABBDo(newtonWorld, debugLinesMin, debugLinesMax, DebugShowBodyCollision);
    glEnd();
    glEnable(GL_LIGHTING);
}

void Physics::DebugShowBodyCollision(NewtonBody* body) { NewtonBodyForEachPolygonDo(body, DebugShowGeometryCollision); }

void Physics::DebugShowGeometryCollision(NewtonBody*, int vertexCount, const float* faceVertec, int) {
    if (vertexCount <= 0) return;
    const float* previous = &faceVertec[3 * (vertexCount - 1)];
    for (int i = 0; i < vertexCount; ++i) {
        const float* current = &faceVertec[3 * i];
        glVertex3f(previous[0], previous[1], previous[2]);
        glVertex3f(current[0], current[1], current[2]);
        previous = current;
    }
}
