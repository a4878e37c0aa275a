#pragma once
// Internal to src/physics: the Bullet objects behind the opaque handles of
// newton.h. Nothing outside this folder includes this header.

#include "physics/newton.h"

#include <btBulletDynamicsCommon.h>
#include <BulletDynamics/Vehicle/btRaycastVehicle.h>

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

namespace newton_bullet {

// Smallest edge (or diameter) a shape keeps when it was given a size of zero
// in one dimension: a flat model still gets a thin, collidable box.
constexpr float MIN_EXTENT = 0.01f;

// False, with a warning naming the function, when no world is given.
bool checkWorld(const NewtonWorld* world, const char* function);
bool isFinite(const float* values, int count);
// Reads a 16-float column-major matrix as a rigid transform: the three axes
// are normalised and made orthogonal, so a scale in the matrix is dropped.
// Returns false (and leaves out untouched) if the matrix holds NaN or infinity
// or has a zero-length axis.
bool readMatrix(const float* m, btTransform& out);
void writeMatrix(const btTransform& t, float* m);

}  // namespace newton_bullet

// The vertex list of a collision tree under construction: a vertex that
// comes again (the same three floats, bit for bit) gets the index it already
// has, so the faces around a vertex share one entry. Found through an
// open-addressing hash table of indices, kept only while the tree is built.
class VertexWeld {
public:
    // Index of the vertex at xyz in vertices(), added if new.
    int add(const float* xyz);
    std::vector<float>& vertices() { return list; }
    // Drops the lookup table; the vertex list stays.
    void finish();

private:
    std::vector<float> list;  // 3 floats per vertex
    std::vector<int> table;   // vertex index per slot, -1 for an empty slot; size a power of two
    static std::size_t hash(const float* xyz);
    void grow();
};

// A static triangle mesh for Bullet, searched through a uniform grid over its
// two widest axes (see newton_tree.cpp). It owns its vertices and indices.
class TriangleGridShape : public btConcaveShape {
public:
    TriangleGridShape(std::vector<float> vertices, std::vector<int> indices);

    void processAllTriangles(btTriangleCallback* callback, const btVector3& aabbMin,
                             const btVector3& aabbMax) const override;
    void getAabb(const btTransform& t, btVector3& aabbMin, btVector3& aabbMax) const override;
    void setLocalScaling(const btVector3& scaling) override { localScaling = scaling; }
    const btVector3& getLocalScaling() const override { return localScaling; }
    void calculateLocalInertia(btScalar, btVector3& inertia) const override { inertia.setZero(); }
    const char* getName() const override { return "TriangleGrid"; }

    int triangles() const { return triangleCount; }

private:
    btVector3 vertex(int index) const;
    void triangleBounds(int t, btVector3& low, btVector3& high) const;
    void computeBounds();
    void chooseGrid();
    void fillGrid();
    int cellOf(float value, int axis, int count) const;
    // Cells covered by a box; false if they are too many for one triangle.
    bool cellRange(const btVector3& low, const btVector3& high, int range[4]) const;
    void visit(int t, btTriangleCallback* callback, const btVector3& low, const btVector3& high) const;

    std::vector<float> vertices;  // 3 floats per vertex
    std::vector<int> indices;     // 3 per triangle
    int triangleCount = 0;
    btVector3 boundsMin{0, 0, 0}, boundsMax{0, 0, 0};
    btVector3 localScaling{1, 1, 1};
    int axisA = 0, axisB = 2;
    float cellSize = 1.0f;
    int cellsA = 1, cellsB = 1;
    std::vector<int> cellStart;      // per cell: first entry in cellTriangles, plus an end
    std::vector<int> cellTriangles;
    std::vector<int> largeTriangles;  // covering too many cells to be binned
    // Query stamp per triangle: each is reported once. A byte per triangle:
    // the marks are cleared every 255 queries.
    mutable std::vector<std::uint8_t> visited;
    mutable std::uint8_t stamp = 0;
};

struct NewtonCollision {
    enum class Kind { Box, Sphere, Capsule, Compound, Tree, Empty };

    NewtonWorld* world = nullptr;
    Kind kind = Kind::Empty;
    int references = 1;

    std::unique_ptr<btCollisionShape> core;    // the shape around its own origin
    btTransform offset = btTransform::getIdentity();
    std::unique_ptr<btCompoundShape> placed;   // core moved by offset, when offset is not the identity
    std::vector<NewtonCollision*> parts;       // compound: the referenced parts

    // Tree: the faces collected between BeginBuild and EndBuild, as triangles;
    // EndBuild hands vertices and indices to the shape.
    bool building = false;
    bool built = false;
    VertexWeld treeVertices;                   // shared corners of the faces
    std::vector<int> treeIndices;              // 3 per triangle
    // 1 per triangle, kept for the face ids; a single entry when every face
    // has the same attribute.
    std::vector<int> treeAttributes;

    // The shape as bodies use it (offset applied).
    btCollisionShape* shape() const;
    // True if the shape holds a triangle tree: such bodies can only be static.
    bool isStaticOnly() const;
};

struct NewtonBody {
    NewtonWorld* world = nullptr;
    NewtonCollision* collision = nullptr;
    std::unique_ptr<btCompoundShape> shiftedShape;  // collision moved by -centreOfMass
    std::unique_ptr<btRigidBody> rigid;             // its frame is the centre of mass

    btVector3 centreOfMass{0, 0, 0};
    float mass = 0.0f;
    btVector3 requestedInertia{0, 0, 0};

    void* userData = nullptr;
    NewtonApplyForceAndTorque forceCallback = nullptr;
    NewtonSetTransform transformCallback = nullptr;
    btVector3 force{0, 0, 0};  // set by the force callback for the running sub-step

    bool autoFreeze = true;
    bool frozenOutside = false;  // left the world's region
    bool moved = false;          // awake at some point of the running update
    int materialGroup = 0;

    bool isDynamic() const { return mass > 0.0f; }
    btTransform originPose() const;
    void setOriginPose(const btTransform& pose);
    // Recomputes Bullet's shape, mass and inertia after a change of mass or
    // centre of mass, taking the body out of the world and back in.
    void rebuild();
    // Wakes the body (a body that left the world stays frozen).
    void wake();
    // Friction and restitution from the world's default material pair.
    void applyMaterial();
};

struct NewtonJoint;  // vehicle, defined in newton_vehicle.cpp

struct NewtonWorld {
    struct Material {
        float softness = 0.1f;
        float elasticity = 0.4f;
        float staticFriction = 0.9f;
        float kineticFriction = 0.5f;
        bool collidable = true;
    };

    std::unique_ptr<btDefaultCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> dynamics;
    std::unique_ptr<btOverlapFilterCallback> pairFilter;

    float minimumFrameRate = 60.0f;
    float subStep = 1.0f / 60.0f;  // length of the running (or last) sub-step
    btVector3 worldMin{-100, -100, -100};
    btVector3 worldMax{100, 100, 100};
    Material material;
    bool updating = false;

    std::vector<std::unique_ptr<NewtonBody>> bodies;  // in creation order
    std::vector<NewtonJoint*> vehicles;               // owned; freed in NewtonDestroy
    std::unordered_set<NewtonCollision*> collisions;  // owned

    bool owns(const NewtonCollision* collision) const;
    bool isInside(const btVector3& point) const;
    void freeCollision(NewtonCollision* collision);
};

// Vehicle hooks used by the world's update and destruction.
namespace newton_bullet {
// Runs the tire callback and the suspension and tire forces of one sub-step.
void vehiclePrepareStep(NewtonJoint* vehicle, float dt);
void destroyVehicle(NewtonJoint* vehicle);
// Adds shape, placed at transform, to a compound; nested compounds are
// flattened into their children.
void addFlattened(btCompoundShape& compound, btCollisionShape* shape, const btTransform& transform);
// Makes bodies slide smoothly over the seams of collision trees (a contact
// callback for bodies flagged with CF_CUSTOM_MATERIAL_CALLBACK).
void installTreeContactSmoothing();
// A new collision without volume (collides with nothing), one reference.
NewtonCollision* makeEmptyCollision(NewtonWorld* world);
}  // namespace newton_bullet
