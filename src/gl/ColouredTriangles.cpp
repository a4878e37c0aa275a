#include "gl/ColouredTriangles.h"

#include "gl/ExtensionManager.h"

void ColouredTriangles::draw() const {
    if (data.empty()) return;
    const bool blendingOff = !translucent && glIsEnabled(GL_BLEND);
    if (blendingOff) glDisable(GL_BLEND);
    ExtensionManager::unbindVertexBuffer();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 6 * sizeof(GLfloat), data.data());
    glColorPointer(4, GL_FLOAT, 6 * sizeof(GLfloat), data.data() + 2);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(data.size() / 6));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (blendingOff) glEnable(GL_BLEND);
}
