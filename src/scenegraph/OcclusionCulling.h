#pragma once
#include <vector>

#include "scenegraph/GeometryNode.h"

// Visibility culling that never waits for the GL. A node outside the view
// frustum (tested on the CPU against its bounding box) is neither drawn nor
// queried. A node inside it is drawn when its last occlusion query found
// samples, or when it has no answer yet; the query of frame n is read in
// frame n + 1, after the frame has been shown, so a node that comes out from
// behind an occluder appears one frame late and no frame stalls on a query.
//
// A node's box is tested after the opaque pass, against the depth of the
// frame in progress. Meshes that are drawn count the samples of their own
// geometry instead, which costs nothing extra; their parents draw them front
// to back (a terrain its segments), so that what lies behind is found hidden.
class OcclusionCulling {
public:
    // At the start of a test pass: takes the projection for the frustum
    // tests and forgets the box queue of the last frame.
    static void beginTests();

    // Whether the box, placed by the modelview matrix (column major, as GL
    // keeps it), reaches into the view frustum: conservative, a box is only
    // outside when all eight corners lie beyond one of the six planes.
    static bool boxInFrustum(const GeometryNode::BoundingBox& box, const float* modelview);

    // Queues the node's box for a query after the opaque pass, drawn with the
    // modelview matrix given (the node's at its place in the graph).
    static void queueBoxQuery(GeometryNode* node, const float* modelview);

    // Runs the queued box queries with colour and depth writes off; the
    // caller's matrices and states come back as they were.
    static void queryQueuedBoxes();

    // True while a query counts samples (queries of one kind do not nest),
    // and while queries are suspended: then no node starts one.
    static bool counting;

    // While one lives, the graph can be drawn again (for a capture, say)
    // without starting queries: visibility stays as this frame decided it.
    struct SuspendQueries {
        SuspendQueries() : was(counting) { counting = true; }
        ~SuspendQueries() { counting = was; }
        bool was;
    };

private:
    struct QueuedBox {
        GeometryNode* node;
        float modelview[16];
    };
    static float projection[16];
    static std::vector<QueuedBox> queue;
};
