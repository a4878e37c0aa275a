#include "app/LoadingPicture.h"

#include <GL/glew.h>

#include <vector>

#include "animation/Animator.h"
#include "assets/Texture2D.h"
#include "gl/ExtensionManager.h"
#include "gl/OffscreenPicture.h"
#include "gl/PixelProjection.h"
#include "scenegraph/SampleCounter.h"
#include "scenegraph/ScenegraphNode.h"

// The billboard hangs under this node. Right after the loading frame the
// node draws the picture once more, as the billboard would draw it at full
// opacity, into a texture of the window's size (see OffscreenPicture), and
// the billboard gives its mipmapped picture back before the level loads.
// From then on each frame fetches one texel a pixel from the copy, at the
// fade's opacity: the same pixels as the billboard's, without filtering a
// mipmapped picture at every pixel of the window. The billboard draws itself
// instead, reading its picture again if it has given it back, while F11's
// savings are off or the window has another size than the copy, and where
// no framebuffer object can be made.
class LoadingPicture::WindowCopy : public ScenegraphNode {
public:
    explicit WindowCopy(std::shared_ptr<Billboard> board)
        : ScenegraphNode("loading picture"), billboard(std::move(board)) {
        typeName = "LoadingPictureCopy";
        addChild(billboard);
    }
    ~WindowCopy() override {
        if (texture != 0 && ExtensionManager::contextAvailable()) glDeleteTextures(1, &texture);
    }

    bool pinnedToScreen() const override { return billboard->pinnedToScreen(); }
    void executeDisplayList() override {}
    void performOperations() override;
    bool capture();

    bool drewCopy = false;

private:
    bool fits() const;
    void drawOpaque() const;
    void drawCopy(float alpha) const;

    std::shared_ptr<Billboard> billboard;
    GLuint texture = 0;
    GLint width = 0, height = 0;
};

void LoadingPicture::WindowCopy::performOperations() {
    drewCopy = false;
    if (!detailSavings || !billboard->active || !fits()) {
        processChildren();
        return;
    }
    const RenderStates state = getRenderState();
    if (state != TRANSPARENT_PASS && state != SINGLE_PASS) return;
    const float alpha = billboard->getMaterial()->diffuse[3];
    if (alpha <= 0.0f) {
        billboard->active = false;  // faded out, as the billboard itself would find
        return;
    }
    drawCopy(alpha);
    drewCopy = true;
}

bool LoadingPicture::WindowCopy::fits() const {
    if (texture == 0) return false;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[0] == 0 && viewport[1] == 0 && viewport[2] == width && viewport[3] == height;
}

// The billboard at full opacity, without blending, into a picture of the
// viewport's size. Its material glows white, so lit in a frame it is the
// texture's colour; here it is drawn unlit, in white, to the same end.
bool LoadingPicture::WindowCopy::capture() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[0] != 0 || viewport[1] != 0) return false;
    std::vector<GLubyte> texels;
    if (!OffscreenPicture::paint(viewport[2], viewport[3], [this] { drawOpaque(); }, texels)) return false;
    texture = OffscreenPicture::upload(viewport[2], viewport[3], texels, texture);
    width = viewport[2];
    height = viewport[3];
    billboard->getQuad()->unloadUntilDrawn();
    return true;
}

void LoadingPicture::WindowCopy::drawOpaque() const {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
    for (GLenum cap : {GL_BLEND, GL_LIGHTING, GL_FOG, GL_DEPTH_TEST, GL_CULL_FACE, GL_ALPHA_TEST, GL_SCISSOR_TEST})
        glDisable(cap);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);  // where the picture does not reach, the copy leaves the window alone
    glClear(GL_COLOR_BUFFER_BIT);
    float& alpha = billboard->getMaterial()->diffuse[3];
    const float fadeAlpha = alpha;
    alpha = 1.0f;
    billboard->executeDisplayList();
    alpha = fadeAlpha;
    glPopAttrib();
}

// One texel a pixel, at one sample a pixel as the billboard draws (its
// every pixel is covered whole), blended at the fade's opacity.
void LoadingPicture::WindowCopy::drawCopy(float alpha) const {
    const PixelProjection pixels;
    glDisable(GL_MULTISAMPLE);
    const SampleCounter::Scope counted(billboard->countedAs());
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    drawTexturedRect(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
}

LoadingPicture::LoadingPicture(const std::shared_ptr<ScenegraphNode>& parentNode, const char* file)
    : parent(parentNode), billboard(std::make_shared<Billboard>(file, true, "menu quad")) {
    billboard->overlay = true;
    TextureQuad::makeWhite(*billboard->getMaterial(), 0.99f);
    billboard->setTranslation(0, 0, -1);
    billboard->getQuad()->setScale(1.535f, 1.0f, 1.151f);
    copy = std::make_shared<WindowCopy>(billboard);
    if (parentNode) parentNode->addChild(copy);
    fadeOut = std::make_shared<AlphaGlow>(billboard->getMaterial(), 0.4f, 1, 0.0f, 1.0f);
    fadeOut->active = false;
    fadeOut->rising = false;
}

std::shared_ptr<ScenegraphNode> LoadingPicture::getNode() const { return copy; }

bool LoadingPicture::drewCopy() const { return copy && copy->drewCopy; }

bool LoadingPicture::keepWindowCopy() { return copy && copy->capture(); }

void LoadingPicture::startFading(Animator& animator) {
    animator.registerAnimation(fadeOut);
    animator.registerAnimation(shared_from_this());
    fadeOut->active = true;
}

void LoadingPicture::animate(double) {
    if (billboard && !billboard->active) release();
}

void LoadingPicture::release() {
    std::shared_ptr<Texture2D> texture = billboard->getQuad()->getTexture();
    if (auto node = parent.lock()) node->removeChild(copy.get());
    copy.reset();
    billboard.reset();
    fadeOut->obj.reset();
    Texture2D::release(std::move(texture));
}
