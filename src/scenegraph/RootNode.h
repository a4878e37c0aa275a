#pragma once
#include <memory>

#include "scenegraph/CameraNode.h"
#include "scenegraph/GeometryNode.h"
#include "scenegraph/GroundCover.h"
#include "scenegraph/LightModel.h"
#include "scenegraph/ScenegraphNode.h"

// The top of a level's scene graph: the camera everything is seen through,
// the light model applied at the start of each lit pass, and the sky elements
// root for things that travel with the viewer (sky dome, clouds, flare).
// The sky elements root is visited after the level's objects, except in the
// opaque pass while detail savings are on: then it comes first, and once more
// after the objects for its background alone, above the window rows that the
// ground covers (GroundCover). Pictures pinned to the screen
// come after everything.
//
// paint() draws both in every pass; paintWorld() and paintScreen() draw the
// world alone and the pictures pinned to the screen alone, each in all its
// passes, so that the world can go into a picture of its own (a smaller one,
// scaled up: gl/WorldCanvas.h) and the pinned pictures into the window after it.
class RootNode : public ScenegraphNode {
public:
    explicit RootNode(const char* nodeDescription);

    void paintWorld();
    void paintScreen();

    void finalize() override;
    void enableBoundingBoxPainting(bool active) override;
    void physicAllocate() override;
    void physicRelease() override;
    void print() override;
    void performOperations() override;
    void executeDisplayList() override {}
    virtual void paintEventSpheres(bool active);

    std::shared_ptr<CameraNode> getCamera() const { return camera; }
    std::shared_ptr<GeometryNode> getSkyElementsRoot() const { return skyElementsRoot; }
    std::shared_ptr<LightModel> getLightModel() const { return lightModel; }

    // The ground that hides the sky's lower part: the background's second
    // visit leaves out the window rows it surely covers, which the GL would
    // otherwise rasterise and depth-test in full for nothing.
    void setGroundCover(GroundCover cover) { groundCover = std::move(cover); }

private:
    enum class Layers { ALL, WORLD, SCREEN };

    std::shared_ptr<CameraNode> camera;
    std::shared_ptr<GeometryNode> skyElementsRoot;
    std::shared_ptr<LightModel> lightModel;
    GroundCover groundCover;
    Layers layers = Layers::ALL;  // what paint() draws

    void paintLayers(Layers which);
    void performWorld();
    void performScreen();
    void paintBackground();
};
