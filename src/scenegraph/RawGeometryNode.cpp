#include "scenegraph/RawGeometryNode.h"

#include <cstdio>

#include "assets/Texture.h"

RawGeometryNode::RawGeometryNode(const char* desc) : GeometryNode(desc) {
    typeName = "Raw Geometry Node";
    alwaysVisible = true;
    useOwnTransform = true;
}

void RawGeometryNode::setVertexArray(FloatArray v, int n) {
    vertices = std::move(v);
    nrOfVertices = vertices ? n : 0;
}

void RawGeometryNode::setNormalArray(FloatArray n, int count) {
    normals = std::move(n);
    nrOfNormals = normals ? count : 0;
}

void RawGeometryNode::setTexCordArray(FloatArray t, int count) {
    texCoords = std::move(t);
    nrOfCoords = texCoords ? count : 0;
}

void RawGeometryNode::setTexture(std::shared_ptr<Texture> t) {
    texture = std::move(t);
    textured = texture != nullptr;
}

void RawGeometryNode::executeDisplayList() {
    glPushMatrix();
    GeometryNode::executeDisplayList();
    if (textured) texture->bind();
    glBegin(primitiveMode);
    // Normals and coordinates are sent only while their arrays cover the vertex.
    for (int i = 0; i < nrOfVertices; ++i) {
        if (i < nrOfCoords) glTexCoord2f(texCoords[2 * i], texCoords[2 * i + 1]);
        if (i < nrOfNormals) glNormal3f(normals[3 * i], normals[3 * i + 1], normals[3 * i + 2]);
        glVertex3f(vertices[3 * i], vertices[3 * i + 1], vertices[3 * i + 2]);
    }
    glEnd();
    if (textured) Texture::unbindTexture();
    glPopMatrix();
}

bool RawGeometryNode::enableDisplayList() {
    recordedMode = false;
    return GeometryNode::enableDisplayList();
}

void RawGeometryNode::startDisplayListRecording() {
    disableDisplayList();
    displayList = glGenLists(1);
    if (displayList != 0) {
        glNewList(displayList, GL_COMPILE);
        return;
    }
    std::printf(
        "\n RawGeometryNode.startDisplayListRecording(): WARNING!\n   unable to create display list for %s - %s.\n   "
        "asset will not be painted.",
        typeName, nodeDescription.c_str());
}

void RawGeometryNode::stopDisplayListRecording() {
    if (displayList != 0) glEndList();
    recordedMode = true;
    useDisplayList = true;
}
