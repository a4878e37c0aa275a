#include "assets/LensFlare.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gl/DepthReading.h"

namespace {
// One square of the chain: where it sits between the light (0) and the
// screen centre (1), its colour, its picture and its size.
struct Artifact {
    double fraction;
    float r, g, b, a;
    size_t quad;  // 0 big glow, 1 streaks, 2 halo, 3 hard glow
    float scale;
};

constexpr Artifact ARTIFACTS[] = {
    {0, 0.6f, 0.6f, 0.8f, 1.0f, 0, 8.0f},          {0, 0.6f, 0.6f, 0.8f, 1.0f, 1, 8.0f},
    {0, 0.8f, 0.8f, 1.0f, 0.5f, 3, 3.5f},          {0.1, 0.9f, 0.6f, 0.4f, 0.5f, 3, 0.6f},
    {0.15, 0.8f, 0.5f, 0.6f, 0.5f, 2, 1.7f},       {0.175, 0.9f, 0.2f, 0.1f, 0.5f, 2, 0.83f},
    {0.285, 0.7f, 0.7f, 0.4f, 0.5f, 2, 1.6f},      {0.2755, 0.9f, 0.9f, 0.2f, 0.5f, 3, 0.8f},
    {0.4775, 0.93f, 0.82f, 0.73f, 0.5f, 3, 1.0f},  {0.49, 0.7f, 0.6f, 0.5f, 0.5f, 2, 1.4f},
    {0.65, 0.7f, 0.8f, 0.3f, 0.5f, 3, 1.8f},       {0.63, 0.4f, 0.3f, 0.2f, 0.5f, 3, 1.4f},
    {0.8, 0.7f, 0.5f, 0.5f, 0.5f, 2, 1.4f},        {0.7825, 0.8f, 0.5f, 0.1f, 0.5f, 3, 0.6f},
    {1.0, 0.5f, 0.5f, 0.7f, 0.5f, 2, 1.7f},        {0.975, 0.4f, 0.1f, 0.9f, 0.5f, 3, 2.0f},
    {1.1, 0.4f, 0.3f, 0.2f, 0.5f, 3, 1.2f},        {1.15, 0.7f, 0.5f, 0.5f, 0.5f, 2, 1.4f},
    {1.35, 0.8f, 0.5f, 0.1f, 0.5f, 3, 0.6f},       {1.4, 0.5f, 0.5f, 0.7f, 0.5f, 2, 1.0f},
    {0.5, 0.4f, 0.1f, 0.9f, 0.5f, 3, 1.0f},
};

// Angle in degrees between a direction and the view axis (0, 0, -1).
double degreesFromViewAxis(Vector direction) {
    direction.normalize();
    const double cosine = std::clamp(-direction.z, -1.0, 1.0);
    return std::acos(cosine) * 180.0 / M_PI;
}
}  // namespace

LensFlare::LensFlare(std::shared_ptr<LightNode> l, float angle, float ratio, const char* desc)
    : GeometryNode(desc), light(std::move(l)), camAngle(angle), viewportRatio(ratio) {
    typeName = "LensFlare";
    alwaysVisible = true;
    singleSampled = true;  // soft-edged pictures: their borders are transparent
    sampleKind = SampleCounter::FLARE;
    useOwnTransform = true;
}

void LensFlare::load(const std::vector<std::string>& flareTextures) {
    std::printf("\n LensFlare.load() - %s: preparing lens flare textures", nodeDescription.c_str());
    TextureQuad::makeWhite(*material, 0.7f);
    quads.clear();
    for (const std::string& path : flareTextures) {
        auto quad = std::make_shared<TextureQuad>("lens flare quad");
        quad->load(path.c_str(), 4.0f, 4.0f, true);
        quad->setMaterial(material);
        quads.push_back(quad);
    }
}

bool LensFlare::inFieldOfView(const Vector& p) const {
    const double horizontal = degreesFromViewAxis(Vector(p.x, 0, p.z));
    const double vertical = degreesFromViewAxis(Vector(0, p.y, p.z));
    return horizontal < viewportRatio * camAngle * 0.5 && vertical < camAngle * 0.5;
}

void LensFlare::executeDisplayList() {
    if (!light) return;
    const Point lightPos = light->getPosition();
    const Vector p(lightPos.x, lightPos.y, lightPos.z);
    if (!inFieldOfView(p)) return;

    // From the light towards the point on the view axis at the light's distance.
    const Vector centre(0, 0, -p.length());
    const double along = Vector::distance(p, centre);
    Vector direction = Vector::diff(p, centre);
    direction.normalize();  // a light straight ahead leaves every square on it

    glDisable(GL_DEPTH_TEST);
    if (!isOccluded(p)) {
        for (const Artifact& art : ARTIFACTS) {
            Vector at = direction;
            at.scale(art.fraction * along);
            drawArtifact(art.r, art.g, art.b, art.a, art.quad, Vector::add(p, at), art.scale);
        }
    }
    glEnable(GL_DEPTH_TEST);
}

bool LensFlare::isOccluded(const Vector& pt) const {
    GLint viewport[4];
    GLdouble projection[16];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    static const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLdouble wx = 0, wy = 0, wz = 0;
    if (gluProject(pt.x, pt.y, pt.z, identity, projection, viewport, &wx, &wy, &wz) != GL_TRUE) return false;
    // The field of view is tested by angles; a light just outside the window
    // has no depth to read there and counts as unhidden.
    const GLint x = static_cast<GLint>(wx), y = static_cast<GLint>(wy);
    if (x < viewport[0] || y < viewport[1] || x >= viewport[0] + viewport[2] || y >= viewport[1] + viewport[3])
        return false;
    return DepthReading::at(x, y) < wz;
}

void LensFlare::drawArtifact(float r, float g, float b, float a, size_t quadIndex, const Vector& p, float scale) {
    if (quadIndex >= quads.size()) return;  // loaded with fewer pictures
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    glRotatef(-90, 1, 0, 0);
    glScalef(scale, scale, scale);
    // The flare's own material (its arrays are nobody else's, see load) takes
    // the colour; its transparent flag stays as it is.
    auto m = quads[quadIndex]->getMaterial();
    for (float* colour : {m->ambient.get(), m->diffuse.get(), m->specular.get(), m->emission.get()})
        Utilities<float>::setArrayValues(colour, r, g, b, a);
    quads[quadIndex]->performOperations();
    glPopMatrix();
}
