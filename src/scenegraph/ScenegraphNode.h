#pragma once
#include <list>
#include <memory>
#include <string>

#include "scenegraph/RenderStates.h"

// Base of everything in the scene: children, a type name and description for
// console dumps, an optional display list with the node's own geometry, and the
// class-wide switches that select how the whole graph is drawn.
class ScenegraphNode {
public:
    using NodePtr = std::shared_ptr<ScenegraphNode>;

    explicit ScenegraphNode(const char* nodeDescription);
    virtual ~ScenegraphNode();
    ScenegraphNode(const ScenegraphNode&) = delete;
    ScenegraphNode& operator=(const ScenegraphNode&) = delete;

    void setNodeDescription(const char* desc);
    const char* getNodeDescription() const { return nodeDescription.c_str(); }
    const char* getTypeName() const { return typeName; }

    // Inserts at the front: the child added last is visited first.
    void addChild(NodePtr child);
    // Takes the child out of the list; false if it is not a child of this node.
    bool removeChild(const ScenegraphNode* child);
    const std::list<NodePtr>& getChildren() const { return children; }
    void processChildren();

    virtual void finalize();
    virtual bool enableDisplayList();
    virtual void disableDisplayList();
    virtual bool refreshDisplayList();
    virtual void paintEventVolumes(bool active);
    virtual void enableBoundingBoxPainting(bool active);
    virtual void physicAllocate();
    virtual void physicRelease();
    virtual void print();
    virtual void performOperations();
    virtual void executeDisplayList();
    virtual void callDisplayList();
    virtual void draw();
    // A picture pinned to the screen (the HUD): its parent draws it after
    // everything else of the frame.
    virtual bool pinnedToScreen() const { return false; }

    // Clears colour and depth at the start of a frame.
    static void beginFrame();

    // Frame entry points, called on the root node. The test pass draws
    // nothing: it reads the occlusion answers of the last frame and tests
    // every culled node against the view frustum (see OcclusionCulling).
    void startVisibilityTests();
    // The opaque pass, the box queries of culled nodes not drawn in it, then
    // the transparent pass (or everything in one pass without blending).
    void paint();
    void printAll();
    void drawaxis();

    unsigned int getDisplayList() const { return displayList; }
    bool isUsingDisplayList() const { return useDisplayList; }

    bool axisDrawing = false;

    // Class-wide switches (see RenderStates for the passes).
    static int drawMode;  // 0 immediate, 1 vertex arrays, 2 VBOs, 3 debug (no high-detail geometry)
    static bool displayListsEnabled;
    static bool useVisibilityCulling;
    static bool useAlphaBlending;
    static bool modifyLighting;
    static bool showPhysicsDebug;
    static bool highOccBoundingBoxGranularity;
    // Work saved where the picture does not show it: on, single-sampled
    // nodes (see GeometryNode::singleSampled) draw without multisampling and
    // terrain segments draw coarser levels of detail where the difference
    // stays under half a pixel; off, everything is drawn in full.
    static bool detailSavings;

    static RenderStates getRenderState() { return renderState; }

protected:
    static RenderStates renderState;

    bool eventSpherePainting = false;
    bool boundingBoxPainting = false;
    std::list<NodePtr> children;
    const char* typeName = "ScenegraphNode";
    std::string nodeDescription;
    unsigned int displayList = 0;
    bool useDisplayList = false;
    unsigned int axisList = 0;

private:
    void recordAxis();
};
