#pragma once
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>

#include "assets/MeshNode.h"
#include "assets/MilkshapeReader.h"
#include "math/Utilities.h"
#include "scenegraph/GeometryNode.h"

// A model read from a MilkShape 3D ASCII file: one MeshNode per mesh of the
// file, each with its material and texture (meshes naming the same material
// index share one Material and one Texture2D), the union bounding box, and two
// grouped display lists (opaque pass, transparent pass) that draw all meshes
// with one call per pass. The meshes are not scene-graph children: they live
// in `meshes` and are drawn by the model's performOperations.
//
// Nodes that load the same file share its parse, and their meshes draw the
// parse's own corner arrays: the four tyres of a car, and the cars of one
// model, keep one copy of the geometry. Once display lists hold the geometry,
// the meshes let go of the arrays; the shared parse hands them out again
// whenever a draw path or a reader (getFlatVertexArray) needs them.
class MilkshapeNode : public GeometryNode {
public:
    explicit MilkshapeNode(const char* nodeDescription);
    ~MilkshapeNode() override;

    void finalize() override;
    bool enableDisplayList() override;
    void disableDisplayList() override;
    void enableBoundingBoxPainting(bool active) override;
    void print() override;
    void performOperations() override;
    void executeDisplayList() override {}  // the meshes draw themselves

    // Reads subdir/filename. False if the file cannot be opened (the node is
    // left as it was) or is malformed (the model is left empty); both are
    // reported on the console.
    virtual bool load(const std::string& subdir, const std::string& filename);

    // The first mesh of that name, or null (with a message).
    std::shared_ptr<MeshNode> getMesh(const char* name);
    void useMeshDisplayListGrouping(bool enable);
    // polygonCount x 9 floats: the triangle corners of every mesh, in mesh order.
    FloatArray getFlatVertexArray() const;

    const std::vector<std::shared_ptr<MeshNode>>& getMeshes() const { return meshes; }
    int getPolygonCount() const { return polygonCount; }
    GLuint getOpaqueList() const { return opaqueList; }
    GLuint getTransparentList() const { return transparentList; }

protected:
    std::string subdir;
    std::string filename;
    std::vector<std::shared_ptr<MeshNode>> meshes;
    bool meshDisplayListGrouping = true;
    GLuint opaqueList = 0;
    GLuint transparentList = 0;
    int polygonCount = 0;

private:
    void extractMesh(MeshNode& mesh, const std::shared_ptr<const MilkshapeReader::Model>& model, std::size_t index);
    // The parsed model of this file text, shared with every other node that
    // loaded the same text from the same path; null (and error) if malformed.
    static std::shared_ptr<const MilkshapeReader::Model> parse(const std::string& path, const std::string& text,
                                                               std::string& error);
    void buildMaterials(const MilkshapeReader::Model& model, std::vector<std::shared_ptr<Material>>& materials,
                        std::vector<std::shared_ptr<Texture2D>>& textures) const;
    void deleteGroupLists();
    void compileGroupList(GLuint list, RenderStates pass);
    bool groupListsUsable() const;
    void drawMeshes(GLuint groupList);
};
