// Collision shapes of the Newton-style interface: box, sphere/ellipsoid,
// capsule, compound and the static triangle tree, with reference counting,
// and the walk over a shape's faces for the debug view.
#include "physics/newton_bullet.h"

#include <BulletCollision/CollisionShapes/btEmptyShape.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

using namespace newton_bullet;

namespace {

// Bullet's usual collision margin; small shapes get a smaller one.
constexpr float DEFAULT_MARGIN = 0.04f;

// An ellipsoid with exact support points. The margin (a sphere swept around
// the inner ellipsoid) keeps Bullet's penetration solver robust; the inner
// radii are the given radii less the margin, so the outer size is exact up
// to the small rounding of the swept sphere.
class EllipsoidShape : public btConvexInternalShape {
public:
    explicit EllipsoidShape(const btVector3& radii) : radii(radii) {
        m_shapeType = CUSTOM_CONVEX_SHAPE_TYPE;
        btConvexInternalShape::setMargin(std::min(DEFAULT_MARGIN, 0.25f * radii[radii.minAxis()]));
    }

    btVector3 localGetSupportingVertexWithoutMargin(const btVector3& direction) const override {
        btVector3 inner = radii - btVector3(getMargin(), getMargin(), getMargin());
        btVector3 scaled = inner * direction;
        btScalar length = scaled.length();
        if (length < SIMD_EPSILON) return btVector3(inner.x(), 0, 0);
        return inner * scaled / length;
    }

    void batchedUnitVectorGetSupportingVertexWithoutMargin(const btVector3* vectors, btVector3* out,
                                                           int count) const override {
        for (int i = 0; i < count; ++i) out[i] = localGetSupportingVertexWithoutMargin(vectors[i]);
    }

    void calculateLocalInertia(btScalar mass, btVector3& inertia) const override {
        btVector3 r2 = radii * radii;
        inertia.setValue(mass * 0.2f * (r2.y() + r2.z()), mass * 0.2f * (r2.x() + r2.z()),
                         mass * 0.2f * (r2.x() + r2.y()));
    }

    void getAabb(const btTransform& t, btVector3& aabbMin, btVector3& aabbMax) const override {
        getAabbSlow(t, aabbMin, aabbMax);
    }

    const char* getName() const override { return "Ellipsoid"; }

    btVector3 radii;
};

bool checkTree(const NewtonCollision* tree, const char* function) {
    if (tree && tree->kind == NewtonCollision::Kind::Tree) return true;
    printf("\n %s(): WARNING! not a collision tree", function);
    return false;
}

// A size that must not be negative or NaN: such values are reported and
// replaced by their magnitude (NaN by 0).
float checkedSize(float value, const char* function) {
    if (std::isfinite(value) && value >= 0.0f) return value;
    printf("\n %s(): WARNING! invalid size %f replaced", function, value);
    return std::isfinite(value) ? -value : 0.0f;
}

btTransform checkedOffset(const float* matrix, const char* function) {
    btTransform offset = btTransform::getIdentity();
    if (matrix && !readMatrix(matrix, offset)) {
        printf("\n %s(): WARNING! invalid offset matrix replaced by the identity", function);
        offset.setIdentity();
    }
    return offset;
}

bool isIdentity(const btTransform& t) {
    return t.getOrigin().fuzzyZero() && t.getBasis() == btMatrix3x3::getIdentity();
}

NewtonCollision* registerCollision(NewtonWorld* world, NewtonCollision::Kind kind,
                                   std::unique_ptr<btCollisionShape> core, const btTransform& offset) {
    auto* collision = new NewtonCollision;
    collision->world = world;
    collision->kind = kind;
    collision->core = std::move(core);
    collision->offset = offset;
    if (!isIdentity(offset)) {
        collision->placed = std::make_unique<btCompoundShape>(false, 1);
        collision->placed->addChildShape(offset, collision->core.get());
    }
    world->collisions.insert(collision);
    return collision;
}

NewtonCollision* makeEmpty(NewtonWorld* world, const btTransform& offset) {
    return registerCollision(world, NewtonCollision::Kind::Empty, std::make_unique<btEmptyShape>(), offset);
}

void reference(NewtonCollision* collision) { ++collision->references; }

void release(NewtonCollision* collision) {
    if (--collision->references > 0) return;
    NewtonWorld* world = collision->world;
    std::vector<NewtonCollision*> parts = std::move(collision->parts);
    world->freeCollision(collision);
    for (NewtonCollision* part : parts) release(part);
}

}  // namespace

namespace newton_bullet {

void addFlattened(btCompoundShape& compound, btCollisionShape* shape, const btTransform& transform) {
    if (shape->isCompound()) {
        auto* inner = static_cast<btCompoundShape*>(shape);
        for (int i = 0; i < inner->getNumChildShapes(); ++i) {
            addFlattened(compound, inner->getChildShape(i), transform * inner->getChildTransform(i));
        }
    } else {
        compound.addChildShape(transform, shape);
    }
}

NewtonCollision* makeEmptyCollision(NewtonWorld* world) { return makeEmpty(world, btTransform::getIdentity()); }

}  // namespace newton_bullet

btCollisionShape* NewtonCollision::shape() const { return placed ? placed.get() : core.get(); }

bool NewtonCollision::isStaticOnly() const {
    if (kind == Kind::Tree) return true;
    for (const NewtonCollision* part : parts) {
        if (part->isStaticOnly()) return true;
    }
    return false;
}

NewtonCollision* NewtonCreateBox(NewtonWorld* world, float dx, float dy, float dz, const float* offsetMatrix) {
    if (!checkWorld(world, "NewtonCreateBox")) return nullptr;
    const char* name = "NewtonCreateBox";
    btVector3 size(checkedSize(dx, name), checkedSize(dy, name), checkedSize(dz, name));
    btTransform offset = checkedOffset(offsetMatrix, name);
    // A box without volume in every direction collides with nothing; a flat
    // one keeps a thin thickness so that it still holds things up.
    if (size.fuzzyZero()) return makeEmpty(world, offset);
    size.setMax(btVector3(MIN_EXTENT, MIN_EXTENT, MIN_EXTENT));
    auto box = std::make_unique<btBoxShape>(size * 0.5f);
    box->setMargin(std::min(DEFAULT_MARGIN, 0.25f * size[size.minAxis()]));
    // With its faces known, a box touching a triangle gets a whole contact
    // face at once instead of one point per step (which makes boxes tumble).
    box->initializePolyhedralFeatures();
    return registerCollision(world, NewtonCollision::Kind::Box, std::move(box), offset);
}

NewtonCollision* NewtonCreateSphere(NewtonWorld* world, float radiusX, float radiusY, float radiusZ,
                                    const float* offsetMatrix) {
    if (!checkWorld(world, "NewtonCreateSphere")) return nullptr;
    const char* name = "NewtonCreateSphere";
    btVector3 radii(checkedSize(radiusX, name), checkedSize(radiusY, name), checkedSize(radiusZ, name));
    btTransform offset = checkedOffset(offsetMatrix, name);
    if (radii.fuzzyZero()) return makeEmpty(world, offset);
    radii.setMax(btVector3(0.5f * MIN_EXTENT, 0.5f * MIN_EXTENT, 0.5f * MIN_EXTENT));
    std::unique_ptr<btCollisionShape> shape;
    if (radii.x() == radii.y() && radii.y() == radii.z()) {
        shape = std::make_unique<btSphereShape>(radii.x());
    } else {
        shape = std::make_unique<EllipsoidShape>(radii);
    }
    return registerCollision(world, NewtonCollision::Kind::Sphere, std::move(shape), offset);
}

NewtonCollision* NewtonCreateCapsule(NewtonWorld* world, float radius, float height, const float* offsetMatrix) {
    if (!checkWorld(world, "NewtonCreateCapsule")) return nullptr;
    const char* name = "NewtonCreateCapsule";
    radius = checkedSize(radius, name);
    height = checkedSize(height, name);
    btTransform offset = checkedOffset(offsetMatrix, name);
    if (radius == 0.0f && height == 0.0f) return makeEmpty(world, offset);
    radius = std::max(radius, 0.5f * MIN_EXTENT);
    // The height runs from tip to tip; Bullet's counts the straight part only.
    float straight = std::max(0.0f, height - 2.0f * radius);
    return registerCollision(world, NewtonCollision::Kind::Capsule,
                             std::make_unique<btCapsuleShapeX>(radius, straight), offset);
}

NewtonCollision* NewtonCreateCompoundCollision(NewtonWorld* world, int count,
                                               NewtonCollision* const collisionPrimitiveArray[]) {
    if (!checkWorld(world, "NewtonCreateCompoundCollision")) return nullptr;
    if (count <= 0 || !collisionPrimitiveArray) {
        printf("\n NewtonCreateCompoundCollision(): WARNING! compound of %d parts collides with nothing", count);
        return makeEmpty(world, btTransform::getIdentity());
    }
    auto compound = std::make_unique<btCompoundShape>(true, count);
    std::vector<NewtonCollision*> parts;
    for (int i = 0; i < count; ++i) {
        NewtonCollision* part = collisionPrimitiveArray[i];
        if (!part || !world->owns(part) || part->building) {
            printf("\n NewtonCreateCompoundCollision(): WARNING! part %d is not a usable collision of this world", i);
            continue;
        }
        addFlattened(*compound, part->shape(), btTransform::getIdentity());
        reference(part);
        parts.push_back(part);
    }
    NewtonCollision* collision = registerCollision(world, NewtonCollision::Kind::Compound, std::move(compound),
                                                   btTransform::getIdentity());
    collision->parts = std::move(parts);
    return collision;
}

NewtonCollision* NewtonCreateTreeCollision(NewtonWorld* world, NewtonTreeCollisionCallback) {
    if (!checkWorld(world, "NewtonCreateTreeCollision")) return nullptr;
    NewtonCollision* tree = makeEmpty(world, btTransform::getIdentity());
    tree->kind = NewtonCollision::Kind::Tree;
    return tree;
}

void NewtonTreeCollisionBeginBuild(NewtonCollision* tree) {
    if (!checkTree(tree, "NewtonTreeCollisionBeginBuild")) return;
    // A tree is built once, before any body or compound uses its shape.
    if (tree->built || tree->references > 1) {
        printf("\n NewtonTreeCollisionBeginBuild(): WARNING! collision tree already built or in use");
        return;
    }
    tree->building = true;
}

void NewtonTreeCollisionAddFace(NewtonCollision* tree, int vertexCount, const float* vertexPtr, int strideInBytes,
                                int faceAttribute) {
    if (!checkTree(tree, "NewtonTreeCollisionAddFace")) return;
    if (!tree->building) {
        printf("\n NewtonTreeCollisionAddFace(): WARNING! face added outside BeginBuild/EndBuild");
        return;
    }
    if (vertexCount < 3 || !vertexPtr || strideInBytes < int(3 * sizeof(float))) {
        printf("\n NewtonTreeCollisionAddFace(): WARNING! invalid face ignored");
        return;
    }
    const char* bytes = reinterpret_cast<const char*>(vertexPtr);
    for (int i = 0; i < vertexCount; ++i) {
        if (!isFinite(reinterpret_cast<const float*>(bytes + i * strideInBytes), 3)) {
            printf("\n NewtonTreeCollisionAddFace(): WARNING! face with invalid vertex ignored");
            return;
        }
    }
    auto corner = [&](int i) {
        return tree->treeVertices.add(reinterpret_cast<const float*>(bytes + i * strideInBytes));
    };
    // A convex face becomes a fan of triangles.
    const int first = corner(0);
    int previous = corner(1);
    for (int i = 2; i < vertexCount; ++i) {
        const int next = corner(i);
        tree->treeIndices.insert(tree->treeIndices.end(), {first, previous, next});
        tree->treeAttributes.push_back(faceAttribute);
        previous = next;
    }
}

void NewtonTreeCollisionEndBuild(NewtonCollision* tree, int) {
    if (!checkTree(tree, "NewtonTreeCollisionEndBuild")) return;
    if (!tree->building) {
        printf("\n NewtonTreeCollisionEndBuild(): WARNING! no build in progress");
        return;
    }
    tree->building = false;
    tree->built = true;
    tree->treeVertices.finish();
    std::vector<int>& attributes = tree->treeAttributes;
    if (std::adjacent_find(attributes.begin(), attributes.end(), std::not_equal_to<int>()) == attributes.end())
        attributes.resize(std::min<std::size_t>(attributes.size(), 1));
    attributes.shrink_to_fit();
    if (tree->treeIndices.empty()) {
        printf("\n NewtonTreeCollisionEndBuild(): WARNING! collision tree without faces collides with nothing");
        return;
    }
    // The lists grew face by face: their spare capacity goes before the shape keeps them.
    std::vector<float>& vertices = tree->treeVertices.vertices();
    vertices.shrink_to_fit();
    tree->treeIndices.shrink_to_fit();
    tree->core = std::make_unique<TriangleGridShape>(std::move(vertices), std::move(tree->treeIndices));
}

void NewtonReleaseCollision(NewtonWorld* world, NewtonCollision* collision) {
    if (!checkWorld(world, "NewtonReleaseCollision") || !collision) return;
    if (!world->owns(collision)) {
        printf("\n NewtonReleaseCollision(): WARNING! collision unknown or already freed");
        return;
    }
    release(collision);
}
