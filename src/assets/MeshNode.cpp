#include "assets/MeshNode.h"

#include <cstdio>

#include "gl/ExtensionManager.h"

MeshNode::MeshNode(const char* desc) : GeometryNode(desc) { typeName = "MeshNode"; }

MeshNode::~MeshNode() {
    if (vboReady && ExtensionManager::contextAvailable()) freeVBO();
}

void MeshNode::allocate(int vertices, int normals, int triangles) {
    vertexCount = vertices;
    normalCount = normals;
    triangleCount = triangles;
    std::size_t t = triangles > 0 ? static_cast<std::size_t>(triangles) : 0;
    triangleVertices = FloatArray(new float[9 * t]());
    triangleNormals = FloatArray(new float[9 * t]());
    triangleTexCoords = FloatArray(new float[6 * t]());
}

void MeshNode::finalize() {
    if (triangleCount <= 0) return;  // nothing to enclose: the box stays empty
    const float* v = triangleVertices.get();
    float lo[3] = {v[0], v[1], v[2]}, hi[3] = {v[0], v[1], v[2]};
    for (int i = 1; i < 3 * triangleCount; ++i)
        for (int axis = 0; axis < 3; ++axis) {
            float value = v[3 * i + axis];
            if (value < lo[axis]) lo[axis] = value;
            if (value > hi[axis]) hi[axis] = value;
        }
    BoundingBox& box = *boundingBox;
    box.minX = lo[0];
    box.maxX = hi[0];
    box.minY = lo[1];
    box.maxY = hi[1];
    box.minZ = lo[2];
    box.maxZ = hi[2];
    const float scale[3] = {scaleX, scaleY, scaleZ};
    for (int axis = 0; axis < 3; ++axis) {
        box.center[axis] = (lo[axis] + hi[axis]) * scale[axis] * 0.5f;
        float extent = (hi[axis] - lo[axis]) * scale[axis];
        box.size[axis] = extent < 0 ? -extent : extent;
    }
}

void MeshNode::print() {
    std::printf("\n   -> %s; vertices:%d; triangles:%d; normals:%d", nodeDescription.c_str(), vertexCount,
                triangleCount, normalCount);
}

void MeshNode::performOperations() {
    const RenderStates state = getRenderState();
    if (state == VISIBILITY_TEST) {
        if (!alwaysVisible) testVisibility();
    } else if (state == TRANSPARENT_PASS) {
        if (boundingBox->visible && visible && material->isTransparent() && drawMode != 3)
            drawSampled([this] { draw(); });
    } else {
        if (highOccBoundingBoxGranularity && boundingBoxPainting) paintBoundingBox();
        loadCurrentMatrix();
        const bool passMatches = state == SINGLE_PASS || !material->isTransparent();
        if (takeOcclusionResult() && visible && passMatches && drawMode != 3)
            drawCountingSamples([this] { drawSampled([this] { draw(); }); });
        else
            queryBoxLater();
    }
    processChildren();
}

void MeshNode::executeDisplayList() {
    GeometryNode::executeDisplayList();  // the material
    // An empty mesh has nothing to draw; Mesa also fails on drawing from
    // empty buffer objects while a display list is compiled.
    if (triangleCount <= 0) return;
    const bool textured = textureEnabled();
    if (textured) texture->bind();
    switch (drawMode) {
        case 0:
            if (vboReady) freeVBO();
            fakeImmediateMode();
            break;
        case 1:
            if (vboReady) freeVBO();
            loadVertexArrays();
            break;
        case 2:
            if (!vboReady) initVBO();
            drawVBO();
            break;
        default:  // debug mode: no high-detail geometry
            break;
    }
    if (textured) Texture::unbindTexture();
}

void MeshNode::fakeImmediateMode() {
    const float* v = triangleVertices.get();
    const float* n = triangleNormals.get();
    const float* t = triangleTexCoords.get();
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3 * triangleCount; ++i) {
        glTexCoord2f(t[2 * i], t[2 * i + 1]);
        glNormal3f(n[3 * i], n[3 * i + 1], n[3 * i + 2]);
        glVertex3f(v[3 * i], v[3 * i + 1], v[3 * i + 2]);
    }
    glEnd();
}

void MeshNode::loadVertexArrays() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, triangleVertices.get());
    glNormalPointer(GL_FLOAT, 0, triangleNormals.get());
    glTexCoordPointer(2, GL_FLOAT, 0, triangleTexCoords.get());
    glDrawArrays(GL_TRIANGLES, 0, 3 * triangleCount);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void MeshNode::initVBO() {
    if (!ExtensionManager::vboAvailable()) return;
    vertexBuffer = normalBuffer = texCoordBuffer = 0;
    const GLsizeiptr t = triangleCount;
    struct Upload {
        GLuint* name;
        const float* data;
        GLsizeiptr bytes;
    };
    const Upload uploads[3] = {{&vertexBuffer, triangleVertices.get(), 36 * t},
                               {&normalBuffer, triangleNormals.get(), 36 * t},
                               {&texCoordBuffer, triangleTexCoords.get(), 24 * t}};
    for (const Upload& u : uploads) {
        ExtensionManager::__glewGenBuffers(1, u.name);
        ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, *u.name);
        ExtensionManager::__glewBufferData(GL_ARRAY_BUFFER, u.bytes, u.data, GL_STATIC_DRAW);
    }
    ExtensionManager::unbindVertexBuffer();
    vboReady = true;
}

void MeshNode::drawVBO() {
    if (!ExtensionManager::vboAvailable()) return;
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, normalBuffer);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, texCoordBuffer);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glDrawArrays(GL_TRIANGLES, 0, 3 * triangleCount);
    ExtensionManager::unbindVertexBuffer();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void MeshNode::freeVBO() {
    if (!ExtensionManager::vboAvailable()) return;
    ExtensionManager::__glewDeleteBuffers(1, &vertexBuffer);
    ExtensionManager::__glewDeleteBuffers(1, &normalBuffer);
    ExtensionManager::__glewDeleteBuffers(1, &texCoordBuffer);
    vertexBuffer = normalBuffer = texCoordBuffer = 0;
    vboReady = false;
}

void MeshNode::setTexture(const char* texFile) {
    if (texFile == nullptr) {
        if (texture)
            texture->enabled = false;
        else
            std::printf("\n MeshNode.setTexture(): WARNING! %s has no texture to switch off", nodeDescription.c_str());
        return;
    }
    texture = Texture2D::createFromFile(texFile, GL_REPEAT);
    texture->enabled = true;
}
