#include "app/LoadingPicture.h"

#include "animation/Animator.h"
#include "assets/Texture2D.h"
#include "scenegraph/ScenegraphNode.h"

LoadingPicture::LoadingPicture(const std::shared_ptr<ScenegraphNode>& parentNode, const char* file)
    : parent(parentNode), billboard(std::make_shared<Billboard>(file, true, "menu quad")) {
    billboard->overlay = true;
    TextureQuad::makeWhite(*billboard->getMaterial(), 0.99f);
    billboard->setTranslation(0, 0, -1);
    billboard->getQuad()->setScale(1.535f, 1.0f, 1.151f);
    if (parentNode) parentNode->addChild(billboard);
    fadeOut = std::make_shared<AlphaGlow>(billboard->getMaterial(), 0.4f, 1, 0.0f, 1.0f);
    fadeOut->active = false;
    fadeOut->rising = false;
}

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
    if (auto node = parent.lock()) node->removeChild(billboard.get());
    billboard.reset();
    fadeOut->obj.reset();
    Texture2D::release(std::move(texture));
}
