#include "scenegraph/CameraNode.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdio>

#include "gl/ExtensionManager.h"

CameraNode::CameraNode(std::shared_ptr<ScenegraphNode> sky, const char* desc)
    : ScenegraphNode(desc), skyElements(std::move(sky)) {
    typeName = "CameraNode";
    // Cameras are also built before any window exists (the level's constructor);
    // resetting the current matrix only makes sense with a context.
    if (ExtensionManager::contextAvailable()) glLoadIdentity();
}

void CameraNode::setEyePoint(float x, float y, float z) {
    eyeX = x;
    eyeY = y;
    eyeZ = z;
    prefsChanged = true;
}

void CameraNode::setEyeCenter(float x, float y, float z) {
    centerX = x;
    centerY = y;
    centerZ = z;
    prefsChanged = true;
}

void CameraNode::setUpVector(float x, float y, float z) {
    upX = x;
    upY = y;
    upZ = z;
    prefsChanged = true;
}

void CameraNode::resetCameraPosition() {
    setEyePoint(0, 0, -0.0001f);
    setEyeCenter(0, 0, 0);
    setUpVector(0, 1, 0);
}

void CameraNode::performOperations() {
    if (prefsChanged) {
        glLoadIdentity();
        gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
        prefsChanged = false;
    }
    glPushMatrix();
    processChildren();  // fixed to the viewer: drawn with the look-at only
    if (focusing) {
        glMultMatrixf(viewMatrix->m);
        return;
    }
    if (camRotY != 0) glRotatef(-camRotY, 0, 1, 0);
    if (camRotX != 0) glRotatef(-camRotX, 1, 0, 0);
    if (camRotZ != 0) glRotatef(-camRotZ, 0, 0, 1);
    glTranslatef(-transX, -transY, -transZ);
}

void CameraNode::print() {
    ScenegraphNode::print();
    std::printf("\n   Perspective settings:");
    std::printf("\n      eye position: (%.2f, %.2f, %.2f)", eyeX, eyeY, eyeZ);
    std::printf("\n      eye center:   (%.2f, %.2f, %.2f)", centerX, centerY, centerZ);
    std::printf("\n      up vector:    (%.2f, %.2f, %.2f)", upX, upY, upZ);
    std::printf("\n   offset from world origin:");
    std::printf("\n      rotations around x/y/z axis:  %.5f / %.5f / %.5f", camRotX, camRotY, camRotZ);
    std::printf("\n      translation:                 (%.5f, %.5f, %.5f)", transX, transY, transZ);
}
