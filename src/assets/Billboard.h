#pragma once
#include <memory>

#include "assets/TextureQuad.h"
#include "scenegraph/GeometryNode.h"

// A picture that always faces the viewer: a unit TextureQuad turned towards
// the eye at the billboard's place in the scene. In overlay mode it is pinned
// to the screen instead: drawn with the depth test off, in front of
// everything, placed by its own offset and scale relative to the eye (z = -1
// lies one unit in front of the camera). HUD pictures are overlay billboards.
//
// The quad shares the billboard's material, so fading that material fades the
// picture. When its diffuse alpha reaches 0 the billboard switches itself off
// (active = false) and stays off until a caller sets active again.
class Billboard : public GeometryNode {
public:
    // When is the picture read: now, or the first time the billboard is drawn
    // (for pictures shown only now and then, which then take no memory before).
    enum class PictureLoad { NOW, WHEN_SHOWN };

    Billboard(const char* texture, bool autoMipMap, const char* nodeDescription,
              PictureLoad pictureLoad = PictureLoad::NOW);

    virtual void load(const char* texture, bool autoMipMap);

    void finalize() override {}
    void executeDisplayList() override;
    // A screen picture comes after the whole scene even when fully opaque:
    // it is drawn without the depth test, so anything drawn later would cover it.
    bool drawnInTransparentPass() const override { return overlay || GeometryNode::drawnInTransparentPass(); }
    bool pinnedToScreen() const override { return overlay; }
    SampleCounter::Kind countedAs() const override { return overlay ? SampleCounter::HUD : sampleKind; }

    std::shared_ptr<TextureQuad> getQuad() const { return quad; }

    bool active = true;
    bool overlay = false;

protected:
    std::shared_ptr<TextureQuad> quad;
    PictureLoad pictureLoad;

private:
    void placeInFrontOfEye();
    void placeFacingViewer();
};
