#pragma once
#include <memory>

#include "scenegraph/CameraNode.h"
#include "scenegraph/GeometryNode.h"
#include "scenegraph/LightModel.h"
#include "scenegraph/ScenegraphNode.h"

// The top of a level's scene graph: the camera everything is seen through,
// the light model applied at the start of each lit pass, and the sky elements
// root for things that travel with the viewer (sky dome, clouds, flare).
// The sky elements root is visited after the level's objects, except in the
// opaque pass while detail savings are on: then it comes first, and once more
// after the objects for its background alone. Pictures pinned to the screen
// come after everything.
class RootNode : public ScenegraphNode {
public:
    explicit RootNode(const char* nodeDescription);

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

private:
    std::shared_ptr<CameraNode> camera;
    std::shared_ptr<GeometryNode> skyElementsRoot;
    std::shared_ptr<LightModel> lightModel;
};
