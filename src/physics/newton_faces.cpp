// The faces of a body's collision shape in world coordinates, for the debug
// view: boxes as six quads, round shapes as a coarse latitude/longitude mesh,
// compounds part by part and triangle trees triangle by triangle.
#include "physics/newton_bullet.h"

#include <cmath>
#include <cstdio>

using namespace newton_bullet;

namespace {

constexpr int ROUND_SLICES = 8;   // around the pole axis
constexpr int ROUND_STACKS = 6;   // from pole to pole

struct FaceSink {
    NewtonBody* body;
    NewtonCollisionIterator callback;

    void emit(const btTransform& t, const btVector3* corners, int count, int faceId) {
        float packed[3 * 4];
        for (int i = 0; i < count; ++i) {
            btVector3 p = t(corners[i]);
            packed[3 * i] = p.x();
            packed[3 * i + 1] = p.y();
            packed[3 * i + 2] = p.z();
        }
        callback(body, count, packed, faceId);
    }
};

void boxFaces(const btBoxShape& box, const btTransform& t, FaceSink& sink) {
    btVector3 h = box.getHalfExtentsWithMargin();
    // Corner i has x, y, z signs from bits 0, 1, 2.
    auto corner = [&h](int i) {
        return btVector3(i & 1 ? h.x() : -h.x(), i & 2 ? h.y() : -h.y(), i & 4 ? h.z() : -h.z());
    };
    static const int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                    {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    for (const auto& face : faces) {
        btVector3 quad[4] = {corner(face[0]), corner(face[1]), corner(face[2]), corner(face[3])};
        sink.emit(t, quad, 4, 0);
    }
}

// A sphere, ellipsoid or capsule: radii per local axis, and for a capsule the
// half length of its straight part along the pole axis (local X for capsules,
// local Y otherwise).
void roundFaces(const btVector3& radii, float halfStraight, int poleAxis, const btTransform& t, FaceSink& sink) {
    int a1 = (poleAxis + 1) % 3;
    int a2 = (poleAxis + 2) % 3;
    // Rings from pole to pole; the upper half is moved up by halfStraight and
    // the lower half down, so the equator appears twice for a capsule.
    auto point = [&](int stack, int slice, float shift) {
        double theta = M_PI * stack / ROUND_STACKS;
        double phi = 2.0 * M_PI * slice / ROUND_SLICES;
        btVector3 p;
        p[poleAxis] = float(radii[poleAxis] * std::cos(theta)) + shift;
        p[a1] = float(radii[a1] * std::sin(theta) * std::cos(phi));
        p[a2] = float(radii[a2] * std::sin(theta) * std::sin(phi));
        return p;
    };
    auto band = [&](int stack0, float shift0, int stack1, float shift1) {
        for (int slice = 0; slice < ROUND_SLICES; ++slice) {
            btVector3 quad[4] = {point(stack0, slice, shift0), point(stack1, slice, shift1),
                                 point(stack1, slice + 1, shift1), point(stack0, slice + 1, shift0)};
            sink.emit(t, quad, 4, 0);
        }
    };
    const int equator = ROUND_STACKS / 2;
    for (int stack = 0; stack < equator; ++stack) band(stack, halfStraight, stack + 1, halfStraight);
    if (halfStraight > 0.0f) band(equator, halfStraight, equator, -halfStraight);
    for (int stack = equator; stack < ROUND_STACKS; ++stack) band(stack, -halfStraight, stack + 1, -halfStraight);
}

struct TriangleSink : btTriangleCallback {
    TriangleSink(FaceSink& sink, const btTransform& t, const std::vector<int>* attributes)
        : sink(sink), t(t), attributes(attributes) {}
    void processTriangle(btVector3* triangle, int, int triangleIndex) override {
        int id = 0;
        if (attributes && attributes->size() == 1)
            id = attributes->front();  // every face has the same attribute
        else if (attributes && triangleIndex < int(attributes->size()))
            id = (*attributes)[triangleIndex];
        sink.emit(t, triangle, 3, id);
    }
    FaceSink& sink;
    btTransform t;
    const std::vector<int>* attributes;
};

void shapeFaces(const btCollisionShape* shape, const btTransform& t, const NewtonCollision& collision,
                FaceSink& sink) {
    switch (shape->getShapeType()) {
        case BOX_SHAPE_PROXYTYPE:
            boxFaces(*static_cast<const btBoxShape*>(shape), t, sink);
            break;
        case SPHERE_SHAPE_PROXYTYPE: {
            float r = static_cast<const btSphereShape*>(shape)->getRadius();
            roundFaces(btVector3(r, r, r), 0.0f, 1, t, sink);
            break;
        }
        case CAPSULE_SHAPE_PROXYTYPE: {
            auto* capsule = static_cast<const btCapsuleShape*>(shape);
            float r = capsule->getRadius();
            roundFaces(btVector3(r, r, r), capsule->getHalfHeight(), capsule->getUpAxis(), t, sink);
            break;
        }
        case CUSTOM_CONVEX_SHAPE_TYPE: {  // the ellipsoid: its support in each axis is its radius
            auto* convex = static_cast<const btConvexShape*>(shape);
            btVector3 radii(convex->localGetSupportingVertex(btVector3(1, 0, 0)).x(),
                            convex->localGetSupportingVertex(btVector3(0, 1, 0)).y(),
                            convex->localGetSupportingVertex(btVector3(0, 0, 1)).z());
            roundFaces(radii, 0.0f, 1, t, sink);
            break;
        }
        case COMPOUND_SHAPE_PROXYTYPE: {
            auto* compound = static_cast<const btCompoundShape*>(shape);
            for (int i = 0; i < compound->getNumChildShapes(); ++i) {
                shapeFaces(compound->getChildShape(i), t * compound->getChildTransform(i), collision, sink);
            }
            break;
        }
        case FAST_CONCAVE_MESH_PROXYTYPE: {  // a collision tree
            const btVector3 huge(BT_LARGE_FLOAT, BT_LARGE_FLOAT, BT_LARGE_FLOAT);
            // Face ids are the tree's face attributes when the mesh is the body's own tree.
            bool ownTree = collision.kind == NewtonCollision::Kind::Tree;
            TriangleSink triangles(sink, t, ownTree ? &collision.treeAttributes : nullptr);
            static_cast<const btConcaveShape*>(shape)->processAllTriangles(&triangles, -huge, huge);
            break;
        }
        default:  // empty shapes have no faces
            break;
    }
}

}  // namespace

void NewtonBodyForEachPolygonDo(NewtonBody* body, NewtonCollisionIterator callback) {
    if (!body) {
        printf("\n NewtonBodyForEachPolygonDo(): WARNING! no body given");
        return;
    }
    if (!callback) return;
    FaceSink sink{body, callback};
    shapeFaces(body->rigid->getCollisionShape(), body->rigid->getWorldTransform(), *body->collision, sink);
}
