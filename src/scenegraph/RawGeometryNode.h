#pragma once
#include <GL/glew.h>

#include <memory>

#include "math/Utilities.h"
#include "scenegraph/GeometryNode.h"

class Texture;

// Draws vertex arrays the caller hands over, or a display list the caller
// records itself. Never occlusion-tested and never a physical body.
class RawGeometryNode : public GeometryNode {
public:
    explicit RawGeometryNode(const char* nodeDescription);

    void setVertexArray(FloatArray vertices, int nrOfVertices);
    void setNormalArray(FloatArray normals, int nrOfNormals);
    void setTexCordArray(FloatArray texCords, int nrOfCoords);
    void setTexture(std::shared_ptr<Texture> texture);
    void setPrimitiveMode(GLenum mode) { primitiveMode = mode; }

    void executeDisplayList() override;
    bool enableDisplayList() override;
    void startDisplayListRecording();
    void stopDisplayListRecording();
    void useStoredVertexData() { recordedMode = false; }
    void useRecordedDisplayList() { recordedMode = true; }

private:
    bool recordedMode = false;
    FloatArray vertices, normals, texCoords;
    int nrOfVertices = 0, nrOfNormals = 0, nrOfCoords = 0;
    std::shared_ptr<Texture> texture;
    bool textured = false;
    GLenum primitiveMode = GL_TRIANGLES;
};
