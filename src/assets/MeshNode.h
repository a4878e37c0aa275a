#pragma once
#include <functional>
#include <memory>

#include <GL/glew.h>

#include "assets/Texture2D.h"
#include "math/Utilities.h"
#include "scenegraph/GeometryNode.h"

// One mesh of a model as arrays of corners (position, normal and texture
// coordinates each) and, for an indexed mesh, three corner indices per
// triangle. A model file's mesh keeps three corners of its own per triangle and
// no index list; a terrain segment shares each grid vertex between the six
// triangles around it. Immediate mode, vertex arrays and vertex buffer objects
// all draw the same arrays in triangle order with one call. A mesh draws in the
// frame of its model: it neither pushes a matrix nor applies a transform of its
// own.
class MeshNode : public GeometryNode {
public:
    explicit MeshNode(const char* nodeDescription);
    ~MeshNode() override;

    // Three corners of its own per triangle, no index list: the corner arrays
    // hold triangle after triangle. Records the counts of the indexed data
    // they came from.
    void allocate(int vertexCount, int normalCount, int triangleCount);
    // Like allocate, but the mesh draws the given corner arrays (3 corners
    // per triangle) instead of arrays of its own: meshes that are the same
    // model share one copy. Whoever hands them in must not change them.
    void useCorners(int vertexCount, int normalCount, int triangleCount, FloatArray cornerPositions,
                    FloatArray cornerNormals, FloatArray cornerTexCoords);
    // cornerCount shared corners and an index list of 3 * triangleCount
    // entries (each below cornerCount, filled in by the caller).
    void allocateIndexed(int cornerCount, int triangleCount);

    // A mesh with a geometry source gives its arrays up while a display list
    // or vertex buffers hold the geometry, and has the source fill them in
    // again (the same floats) when a draw path or a reader needs them.
    using GeometrySource = std::function<void(MeshNode&)>;
    void setGeometrySource(GeometrySource source) { geometrySource = std::move(source); }
    bool hasArrays() const { return static_cast<bool>(positions); }
    // Frees the corner and index arrays if a source can fill them in again.
    void releaseArrays();
    // Has the source fill in released arrays; false if there are none.
    bool restoreArrays();
    // Runs action with the arrays present; arrays restored for it are
    // released again afterwards.
    void withArrays(const std::function<void()>& action);
    // Compiles the display list, then gives up the arrays it holds.
    bool enableDisplayList() override;

    // Bounding box over all corners, scaled by the mesh's own scale.
    void finalize() override;
    void print() override;
    void performOperations() override;
    void executeDisplayList() override;

    void initVBO();
    virtual void freeVBO();
    void drawVBO();
    void fakeImmediateMode();
    void loadVertexArrays();
    // Bytes of the corner and index arrays the mesh keeps in main memory now.
    std::size_t storageBytes() const;

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
    int getCornerCount() const { return cornerCount; }
    bool isIndexed() const { return static_cast<bool>(indices); }
    // 3 floats per corner: x y z. Null while the arrays are released (see withArrays).
    const FloatArray& getCornerPositions() const { return positions; }
    // 3 floats per corner: the normal.
    const FloatArray& getCornerNormals() const { return normals; }
    // 2 floats per corner: u v.
    const FloatArray& getCornerTexCoords() const { return texCoords; }
    // 3 per triangle for an indexed mesh, null otherwise.
    const std::shared_ptr<GLuint[]>& getIndices() const { return indices; }
    // The corner that is the m-th (0..2) corner of the triangle.
    int cornerOf(int triangle, int m) const {
        return indices ? static_cast<int>(indices[3 * static_cast<std::size_t>(triangle) + m]) : 3 * triangle + m;
    }
    bool isVboReady() const { return vboReady; }

    // Game logic switches single meshes off and on. Grouped display lists of
    // the model keep the old state until they are refreshed.
    bool visible = true;

protected:
    // The draw paths for any list of count corner indices (null: the corners
    // in order). drawBuffers draws from the vertex buffers with the index
    // buffer given (0: the corners in order); the caller makes sure they exist.
    void drawImmediate(const GLuint* list, int count);
    void drawArrays(const GLuint* list, int count);
    void drawBuffers(GLuint indexBuffer, int count);
    bool textureEnabled() const { return texture && texture->enabled; }

private:
    std::shared_ptr<Texture2D> texture;
    int materialIndex = -1;
    int vertexCount = 0;
    int triangleCount = 0;
    int normalCount = 0;
    int cornerCount = 0;
    FloatArray positions;
    FloatArray normals;
    FloatArray texCoords;
    std::shared_ptr<GLuint[]> indices;
    bool vboReady = false;
    GLuint vertexBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint texCoordBuffer = 0;
    GLuint indexBuffer = 0;
    GeometrySource geometrySource;

    void allocateCorners(int corners);
    void computeBoundingBox();
    void uploadBuffers();
    int drawnCornerCount() const { return 3 * triangleCount; }
};
