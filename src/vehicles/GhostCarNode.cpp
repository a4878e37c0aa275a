#include "vehicles/GhostCarNode.h"

#include <GL/glew.h>

#include "physics/PhysicVolume.h"

GhostCarNode::GhostCarNode(const char* desc) : SimpleCarNode(desc) {
    typeName = "GhostCarNode";
    alwaysVisible = true;  // never tested, never culled
}

bool GhostCarNode::load(const std::string& subdir, const std::string& mainBodyFile, const std::string& tireFilename,
                        const TireOffsets& tireOffsets) {
    const bool ok = SimpleCarNode::load(subdir, mainBodyFile, tireFilename, tireOffsets);
    // Placed by its owner through the volume's matrix, as a body would place it.
    physicVolume->noBody = true;
    physicVolume->alwaysActive = false;
    physicVolume->isStatic = true;
    for (const auto& tire : {getFrontLeft(), getFrontRight(), getRearLeft(), getRearRight()})
        if (tire) tire->alwaysVisible = true;
    return ok;
}

void GhostCarNode::setPose(const float* m, float steerDegrees) {
    const float* old = physicVolume->matrix->data();
    // Forwards is -Z: the distance along the car's front axis.
    const float moved = -((m[12] - old[12]) * m[8] + (m[13] - old[13]) * m[9] + (m[14] - old[14]) * m[10]);
    physicVolume->matrix->set(m);
    setTranslation(m[12], m[13], m[14]);
    setFrontSteering(steerDegrees);
    addTireRotation(1.0, moved);
}

const float* GhostCarNode::getPose() const { return physicVolume->matrix->data(); }

void GhostCarNode::performOperations() {
    if (getRenderState() != TRANSPARENT_PASS || !shown || opacity <= 0.0f) return;
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_MULTISAMPLE_BIT);
    // The blended pass leaves faces unculled; the ghost's back faces stay hidden.
    glEnable(GL_CULL_FACE);
    // One sample per pixel: a see-through car's edges show little stair, and
    // a software rasteriser draws it in half the time of four samples.
    glDisable(GL_MULTISAMPLE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_TRUE);
    drawCar();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    glBlendColor(0.0f, 0.0f, 0.0f, opacity);
    glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
    drawCar();
    glPopAttrib();
}

// The body and the wheels as the single pass draws them: every mesh, opaque or not.
void GhostCarNode::drawCar() {
    const RenderStates pass = renderState;
    renderState = SINGLE_PASS;
    SimpleCarNode::performOperations();
    renderState = pass;
}
