#pragma once
#include <memory>

#include <GL/glew.h>

#include "assets/Texture2D.h"
#include "math/Utilities.h"
#include "scenegraph/GeometryNode.h"

// One mesh of a model in expanded form: three full corners (position, normal,
// texture coordinates) per triangle and no index list, so that immediate
// mode, vertex arrays and vertex buffer objects all draw the same contiguous
// arrays with one call. A mesh draws in the frame of its model: it neither
// pushes a matrix nor applies a transform of its own.
class MeshNode : public GeometryNode {
public:
    explicit MeshNode(const char* nodeDescription);
    ~MeshNode() override;

    // Allocates the three expanded arrays for triangleCount triangles and
    // records the counts of the indexed data they came from.
    void allocate(int vertexCount, int normalCount, int triangleCount);

    // Bounding box over all corners, scaled by the mesh's own scale.
    void finalize() override;
    void print() override;
    void performOperations() override;
    void executeDisplayList() override;

    void initVBO();
    void freeVBO();
    void drawVBO();
    void fakeImmediateMode();
    void loadVertexArrays();

    // A picture file (path as given) becomes the mesh's texture; null switches
    // the present texture off.
    void setTexture(const char* texFile);
    void setTexture(std::shared_ptr<Texture2D> tex) { texture = std::move(tex); }
    std::shared_ptr<Texture2D> getTexture() const { return texture; }

    int getMaterialIndex() const { return materialIndex; }
    void setMaterialIndex(int index) { materialIndex = index; }
    int getVertexCount() const { return vertexCount; }
    int getNormalCount() const { return normalCount; }
    int getTriangleCount() const { return triangleCount; }
    // 9 floats per triangle: x y z of its three corners.
    const FloatArray& getTriangleVertices() const { return triangleVertices; }
    // 9 floats per triangle: the three corner normals.
    const FloatArray& getTriangleNormals() const { return triangleNormals; }
    // 6 floats per triangle: u v of its three corners.
    const FloatArray& getTriangleTexCoords() const { return triangleTexCoords; }
    bool isVboReady() const { return vboReady; }

    // Game logic switches single meshes off and on. Grouped display lists of
    // the model keep the old state until they are refreshed.
    bool visible = true;

private:
    std::shared_ptr<Texture2D> texture;
    int materialIndex = -1;
    int vertexCount = 0;
    int triangleCount = 0;
    int normalCount = 0;
    FloatArray triangleVertices;
    FloatArray triangleTexCoords;
    FloatArray triangleNormals;
    bool vboReady = false;
    GLuint vertexBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint texCoordBuffer = 0;

    bool textureEnabled() const { return texture && texture->enabled; }
};
