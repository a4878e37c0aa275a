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
    triangleCount = triangles > 0 ? triangles : 0;
    indices.reset();
    allocateCorners(3 * triangleCount);
}

void MeshNode::useCorners(int vertices, int normalsGiven, int triangles, FloatArray cornerPositions,
                          FloatArray cornerNormals, FloatArray cornerTexCoords) {
    vertexCount = vertices;
    normalCount = normalsGiven;
    triangleCount = triangles > 0 ? triangles : 0;
    cornerCount = 3 * triangleCount;
    indices.reset();
    positions = std::move(cornerPositions);
    normals = std::move(cornerNormals);
    texCoords = std::move(cornerTexCoords);
}

void MeshNode::allocateIndexed(int corners, int triangles) {
    vertexCount = normalCount = corners > 0 ? corners : 0;
    triangleCount = triangles > 0 ? triangles : 0;
    allocateCorners(vertexCount);
    indices = std::shared_ptr<GLuint[]>(new GLuint[3 * static_cast<std::size_t>(triangleCount)]());
}

void MeshNode::allocateCorners(int corners) {
    cornerCount = corners > 0 ? corners : 0;
    const std::size_t c = static_cast<std::size_t>(cornerCount);
    positions = FloatArray(new float[3 * c]());
    normals = FloatArray(new float[3 * c]());
    texCoords = FloatArray(new float[2 * c]());
}

void MeshNode::releaseArrays() {
    if (!geometrySource) return;
    positions.reset();
    normals.reset();
    texCoords.reset();
    indices.reset();
}

bool MeshNode::restoreArrays() {
    if (hasArrays() || triangleCount <= 0) return hasArrays();
    if (geometrySource) geometrySource(*this);
    return hasArrays();
}

void MeshNode::withArrays(const std::function<void()>& action) {
    const bool restored = !hasArrays() && restoreArrays();
    action();
    if (restored) releaseArrays();
}

bool MeshNode::enableDisplayList() {
    const bool compiled = GeometryNode::enableDisplayList();
    if (compiled) releaseArrays();
    return compiled;
}

std::size_t MeshNode::storageBytes() const {
    if (!hasArrays()) return 0;
    const std::size_t corners = static_cast<std::size_t>(cornerCount) * 8 * sizeof(float);
    return corners + (indices ? 3 * static_cast<std::size_t>(triangleCount) * sizeof(GLuint) : 0);
}

void MeshNode::finalize() {
    withArrays([this] { computeBoundingBox(); });
}

void MeshNode::computeBoundingBox() {
    if (triangleCount <= 0 || !hasArrays()) return;  // nothing to enclose: the box stays empty
    const float* v = positions.get();
    float lo[3] = {v[0], v[1], v[2]}, hi[3] = {v[0], v[1], v[2]};
    for (int i = 1; i < cornerCount; ++i)
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
    if (restoreArrays()) drawImmediate(indices.get(), drawnCornerCount());
}

void MeshNode::drawImmediate(const GLuint* list, int count) {
    const float* v = positions.get();
    const float* n = normals.get();
    const float* t = texCoords.get();
    if (!v) return;
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < count; ++i) {
        const std::size_t k = list ? list[i] : static_cast<std::size_t>(i);
        glTexCoord2f(t[2 * k], t[2 * k + 1]);
        glNormal3f(n[3 * k], n[3 * k + 1], n[3 * k + 2]);
        glVertex3f(v[3 * k], v[3 * k + 1], v[3 * k + 2]);
    }
    glEnd();
}

void MeshNode::loadVertexArrays() {
    if (restoreArrays()) drawArrays(indices.get(), drawnCornerCount());
}

void MeshNode::drawArrays(const GLuint* list, int count) {
    if (!hasArrays()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.get());
    glNormalPointer(GL_FLOAT, 0, normals.get());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords.get());
    if (list)
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, list);
    else
        glDrawArrays(GL_TRIANGLES, 0, count);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void MeshNode::initVBO() {
    if (!ExtensionManager::vboAvailable()) return;
    withArrays([this] { uploadBuffers(); });
}

void MeshNode::uploadBuffers() {
    if (!hasArrays()) return;
    vertexBuffer = normalBuffer = texCoordBuffer = indexBuffer = 0;
    const GLsizeiptr c = cornerCount;
    struct Upload {
        GLenum target;
        GLuint* name;
        const void* data;
        GLsizeiptr bytes;
    };
    const Upload uploads[4] = {
        {GL_ARRAY_BUFFER, &vertexBuffer, positions.get(), 12 * c},
        {GL_ARRAY_BUFFER, &normalBuffer, normals.get(), 12 * c},
        {GL_ARRAY_BUFFER, &texCoordBuffer, texCoords.get(), 8 * c},
        {GL_ELEMENT_ARRAY_BUFFER, &indexBuffer, indices.get(),
         static_cast<GLsizeiptr>(sizeof(GLuint)) * drawnCornerCount()}};
    for (const Upload& u : uploads) {
        if (u.target == GL_ELEMENT_ARRAY_BUFFER && !indices) continue;
        ExtensionManager::__glewGenBuffers(1, u.name);
        ExtensionManager::__glewBindBuffer(u.target, *u.name);
        ExtensionManager::__glewBufferData(u.target, u.bytes, u.data, GL_STATIC_DRAW);
    }
    ExtensionManager::unbindVertexBuffer();
    ExtensionManager::__glewBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    vboReady = true;
}

void MeshNode::drawVBO() {
    if (ExtensionManager::vboAvailable()) drawBuffers(indexBuffer, drawnCornerCount());
}

void MeshNode::drawBuffers(GLuint elements, int count) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, normalBuffer);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, texCoordBuffer);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    ExtensionManager::__glewBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    if (elements != 0) {
        ExtensionManager::__glewBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elements);
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
        ExtensionManager::__glewBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    } else {
        glDrawArrays(GL_TRIANGLES, 0, count);
    }
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
    if (indexBuffer != 0) ExtensionManager::__glewDeleteBuffers(1, &indexBuffer);
    vertexBuffer = normalBuffer = texCoordBuffer = indexBuffer = 0;
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
