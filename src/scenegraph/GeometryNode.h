#pragma once
#include <memory>
#include <string>
#include <vector>

#include "math/Matrix.h"
#include "math/Point.h"
#include "scenegraph/CameraNode.h"
#include "scenegraph/Material.h"
#include "scenegraph/SampleCounter.h"
#include "scenegraph/ScenegraphNode.h"

struct NewtonBody;

// A node with a place in the world: its own transform (or the pose of its
// physical body), a material, an occlusion box with the hardware occlusion-query
// logic that culls hidden objects, an event sphere (the trigger volume of the
// game rules) and optionally the camera following it.
class GeometryNode : public ScenegraphNode {
public:
    // Extent in node coordinates plus the state of the node's occlusion query.
    class BoundingBox {
    public:
        float minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
        float center[3] = {0, 0, 0};
        float size[3] = {0, 0, 0};
        unsigned int queryName = 0;  // the query not yet read, or 0
        bool occluded = false;       // the last query read found no samples
        bool visible = true;         // drawn in this frame's passes

        // Sets the extent and derives centre and size from it.
        void setExtent(float minX, float maxX, float minY, float maxY, float minZ, float maxZ);
        void draw() const;   // solid box (for the occlusion query)
        void paint() const;  // wire box (debug view)
    };

    // The trigger sphere every game rule tests, and its debug drawing.
    class EventSphere {
    public:
        ~EventSphere();
        std::string name;
        std::vector<std::string> lines;
        float offset[3] = {0, 0, 0};
        float radius = 0;  // 0 or less: no sphere
        float color[3] = {0, 0, 0};
        unsigned int displayList = 0;
    };

    // The node's rigid-body description; defined with the physics code.
    class PhysicVolume;

    explicit GeometryNode(const char* nodeDescription);
    ~GeometryNode() override;

    // Transform (each setter ends with updateCamera()).
    void setRotations(float rotx, float roty, float rotz);
    void setTranslation(float posx, float posy, float posz);
    void setScale(float scalex, float scaley, float scalez);
    void addRotations(float rotx, float roty, float rotz);
    void addTranslation(float posx, float posy, float posz);
    void multScale(float scalex, float scaley, float scalez);
    float getXrot() const { return rotX; }
    float getYrot() const { return rotY; }
    float getZrot() const { return rotZ; }
    float getXpos() const { return posX; }
    float getYpos() const { return posY; }
    float getZpos() const { return posZ; }
    float getScalex() const { return scaleX; }
    float getScaley() const { return scaleY; }
    float getScalez() const { return scaleZ; }

    // Orientation in eye coordinates of the last drawn frame.
    Point getPosition() const;
    Point getDirection() const;
    Point getUpside() const;
    void setDefaultPositionVectors();
    void loadCurrentMatrix();
    std::shared_ptr<Matrix> getCurrentMatrix() const { return currentMatrix; }

    // Camera
    void setCameraFocus(std::shared_ptr<CameraNode> cam);
    void releaseCameraFocus();
    bool isFocusedByCamera() const { return focused; }
    std::shared_ptr<CameraNode> getCamera() const { return camera; }

    // Drawing
    void orientObject();
    void paintEventSphere();
    void paintBoundingBox();

    std::shared_ptr<Material> getMaterial() const { return material; }
    void setMaterial(std::shared_ptr<Material> m) { material = std::move(m); }
    std::shared_ptr<BoundingBox> getBoundingBox() const { return boundingBox; }
    std::shared_ptr<EventSphere> getEventSphere() const { return eventSphere; }
    std::shared_ptr<PhysicVolume> getPhysicVolume() const { return physicVolume; }

    void physicAllocate() override;
    void physicRelease() override;
    // The physics world's transform callback: the node in the body's user
    // data takes the body's new pose.
    static void physicTransformationCallback(NewtonBody* body, const float* matrix);
    void updatePhysicTransformationMatrix(const float* matrix);
    void print() override;
    void performOperations() override;
    void executeDisplayList() override;

    virtual void updateCamera();
    // In the test pass: reads the last query if its answer has come, then
    // decides from the view frustum and that answer whether the node is drawn.
    virtual void testVisibility();
    // Counts the samples of the node's box (after the opaque pass, with the
    // node's modelview matrix loaded); read in the next frame's test pass.
    virtual void fireOcclusionQuery();
    virtual bool occResultAvailable();
    virtual void getOccResult();
    // Whether the node is drawn in the transparent pass, after every opaque
    // node, rather than in the opaque pass: by default when its material is transparent.
    virtual bool drawnInTransparentPass() const { return material->isTransparent(); }
    // What the node's own drawing counts as in the sample counts: its sampleKind.
    virtual SampleCounter::Kind countedAs() const { return sampleKind; }

    bool alwaysVisible = false;
    bool useOwnTransform = false;
    // Drawn without multisampling while detailSavings is on: for
    // pictures whose border is transparent (glows, halos), so that no edge of
    // theirs shows. Where one lies over the edge of a nearer surface, that
    // edge loses its smoothing under the picture; small soft glows hide it.
    // A software rasteriser saves most of the cost of four samples.
    bool singleSampled = false;
    // A background (a sky dome under the sky elements root) is, in the
    // opaque pass while detailSavings is on, drawn after everything else
    // opaque, at the far plane with the depth test (of every sample) and
    // without depth writes: it fills only the samples nothing else covers,
    // and the hidden rest is never shaded. Otherwise it is drawn as any node.
    bool background = false;
    // Set by the root while it visits the sky elements a second time, at
    // the end of the opaque pass, for their backgrounds.
    static bool backgroundTurn;
    SampleCounter::Kind sampleKind = SampleCounter::MODELS;

protected:
    // In a drawing pass: whether the node is drawn; always while it is not
    // culled, else as the test pass decided.
    bool takeOcclusionResult();
    // Whether this visit of the opaque pass is the node's turn: with detail
    // savings on, a background's is the root's second visit of the sky, every
    // other node's the first.
    bool inItsTurn() const;
    // Draws through drawGeometry, counting the samples of the drawing as the
    // node's query when the node is culled and no query is pending.
    template <typename Draw>
    void drawCountingSamples(Draw drawGeometry) {
        const bool query = beginSampleCount();
        drawGeometry();
        if (query) endSampleCount();
    }
    // Queues a box query for a culled node in the frustum without one pending.
    void queryBoxLater();
    // Draws through drawGeometry with multisampling off for a single-sampled
    // node; its samples count as the node's kind (the scope opens after the switch).
    template <typename Draw>
    void drawSampled(Draw drawGeometry) {
        const int mode = beginSingleSampling();
        SampleCounter::Scope count(countedAs());
        drawGeometry();
        if (mode != 0) endSingleSampling(mode);
    }

    std::shared_ptr<BoundingBox> boundingBox = std::make_shared<BoundingBox>();
    std::shared_ptr<EventSphere> eventSphere = std::make_shared<EventSphere>();
    std::shared_ptr<PhysicVolume> physicVolume;
    std::shared_ptr<Point> position, direction, upside;
    std::shared_ptr<Matrix> currentMatrix = std::make_shared<Matrix>();
    std::shared_ptr<Material> material = std::make_shared<Material>();
    float rotX = 0, rotY = 0, rotZ = 0;
    float posX = 0, posY = 0, posZ = 0;
    float scaleX = 1, scaleY = 1, scaleZ = 1;
    bool focused = false;
    std::shared_ptr<CameraNode> camera;

private:
    // The pose of the physical body, or null while the node has none.
    const float* bodyMatrix() const;
    bool culled() const;
    bool beginSampleCount();
    void endSampleCount();
    // Bits of what endSingleSampling restores: 1 multisampling, 2 the depth test and writes.
    int beginSingleSampling() const;
    void endSingleSampling(int mode) const;
    void deleteQuery();
};
