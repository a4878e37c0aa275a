#pragma once
#include <memory>
#include <string>
#include <vector>

#include "assets/TextureQuad.h"
#include "math/Vector.h"
#include "scenegraph/GeometryNode.h"
#include "scenegraph/LightNode.h"

// The glare of a bright light: a chain of coloured, textured squares along the
// line from the light's place on screen through the screen centre. Drawn in
// the blended pass, and only while the light lies strictly inside the field
// of view and the depth already drawn at its pixel is not nearer than the
// light. Positions are eye coordinates (x right, y up, looking along -z).
class LensFlare : public GeometryNode {
public:
    // camAngle: vertical field of view in degrees; viewportRatio: width / height.
    LensFlare(std::shared_ptr<LightNode> light, float camAngle, float viewportRatio, const char* nodeDescription);

    // One square of 4 x 4 units per picture, in this order: big glow,
    // streaks, halo, hard glow. Artifacts whose picture is missing are skipped.
    virtual void load(const std::vector<std::string>& flareTextures);

    void finalize() override {}
    void print() override {}
    void executeDisplayList() override;

    // The depth buffer holds something nearer than pt at pt's pixel.
    bool isOccluded(const Vector& pt) const;
    // Draws picture quadIndex in colour (r, g, b, a) at eye position p, scaled.
    void drawArtifact(float r, float g, float b, float a, size_t quadIndex, const Vector& p, float scale);

    // Both angles of the light from the view axis are strictly below their limits.
    bool inFieldOfView(const Vector& p) const;
    const std::vector<std::shared_ptr<TextureQuad>>& getQuads() const { return quads; }

private:
    std::shared_ptr<LightNode> light;
    std::vector<std::shared_ptr<TextureQuad>> quads;
    float camAngle;
    float viewportRatio;
};
