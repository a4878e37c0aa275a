#include "scenegraph/OcclusionCulling.h"

#include <GL/glew.h>

#include <cstring>

float OcclusionCulling::projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
std::vector<OcclusionCulling::QueuedBox> OcclusionCulling::queue;
bool OcclusionCulling::counting = false;

namespace {
// out = a * b for column-major 4 x 4 matrices.
void multiply(const float* a, const float* b, float* out) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = sum;
        }
}
}  // namespace

void OcclusionCulling::beginTests() {
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    queue.clear();
}

bool OcclusionCulling::boxInFrustum(const GeometryNode::BoundingBox& box, const float* modelview) {
    float clip[16];
    multiply(projection, modelview, clip);
    // Bit p of `outside` stays set while every corner lies beyond plane p
    // (left, right, bottom, top, near, far: -w <= x, y, z <= w inside).
    unsigned outside = 0x3f;
    for (int corner = 0; corner < 8; ++corner) {
        float p[3];
        for (int axis = 0; axis < 3; ++axis) {
            const float half = (corner >> axis & 1) ? 0.5f : -0.5f;
            p[axis] = box.center[axis] + half * box.size[axis];
        }
        float v[4];
        for (int r = 0; r < 4; ++r) v[r] = clip[r] * p[0] + clip[4 + r] * p[1] + clip[8 + r] * p[2] + clip[12 + r];
        unsigned beyond = 0;
        for (int axis = 0; axis < 3; ++axis) {
            if (v[axis] < -v[3]) beyond |= 1u << (2 * axis);
            if (v[axis] > v[3]) beyond |= 2u << (2 * axis);
        }
        outside &= beyond;
        if (outside == 0) return true;
    }
    return false;
}

void OcclusionCulling::queueBoxQuery(GeometryNode* node, const float* modelview) {
    QueuedBox entry{node, {}};
    std::memcpy(entry.modelview, modelview, sizeof entry.modelview);
    queue.push_back(entry);
}

void OcclusionCulling::queryQueuedBoxes() {
    if (counting) queue.clear();  // suspended
    if (queue.empty()) return;
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);  // the eye may be inside a box
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    // A box that lies exactly on a surface drawn this frame passes
    // (less-or-equal, pulled slightly forward).
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // wireframe mode would count only the edges
    glPushMatrix();
    for (const QueuedBox& entry : queue) {
        glLoadMatrixf(entry.modelview);
        entry.node->fireOcclusionQuery();
    }
    glPopMatrix();
    glPopAttrib();
    queue.clear();
}
