#include "assets/Billboard.h"

#include <GL/glew.h>

Billboard::Billboard(const char* texture, bool autoMipMap, const char* desc, PictureLoad pictureLoad)
    : GeometryNode(desc), pictureLoad(pictureLoad) {
    typeName = "Billboard";
    alwaysVisible = true;
    singleSampled = true;  // soft-edged pictures: their borders are transparent
    sampleKind = SampleCounter::GLOWS;
    useOwnTransform = true;
    load(texture, autoMipMap);
}

void Billboard::load(const char* texture, bool autoMipMap) {
    TextureQuad::makeWhite(*material, 0.7f);
    quad = std::make_shared<TextureQuad>("Billboard quad");
    if (pictureLoad == PictureLoad::WHEN_SHOWN)
        quad->loadWhenDrawn(texture, 1.0f, 1.0f, autoMipMap);
    else
        quad->load(texture, 1.0f, 1.0f, autoMipMap);
    quad->setMaterial(material);
}

void Billboard::executeDisplayList() {
    if (material->diffuse[3] <= 0.0f) active = false;
    if (!active) return;
    glPushMatrix();
    glLoadIdentity();
    if (overlay) placeInFrontOfEye();
    else placeFacingViewer();
    // The quad is drawn here, in whatever pass the billboard is drawn: it
    // shares the billboard's material but not its choice of pass.
    quad->orientObject();
    quad->executeDisplayList();
    glPopMatrix();
    if (overlay) glEnable(GL_DEPTH_TEST);
}

// Eye coordinates: the billboard's own offset and scale, nothing of the scene.
void Billboard::placeInFrontOfEye() {
    glDisable(GL_DEPTH_TEST);
    orientObject();
    glRotatef(-90, 1, 0, 0);  // the quad's x-z plane faces the eye
}

// The position this node had in the last opaque pass (which read back the
// model-view matrix), without any rotation of the scene: the picture stays
// square to the view whatever its parents do.
void Billboard::placeFacingViewer() {
    const float* m = currentMatrix->m;
    glTranslatef(m[12], m[13], m[14]);
    glRotatef(-90, 1, 0, 0);
    orientObject();
}
