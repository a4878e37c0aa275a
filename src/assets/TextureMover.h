#pragma once
#include <memory>

#include "animation/Animation.h"
#include "assets/TextureQuad.h"

// Scrolls the picture of a TextureQuad at a constant speed (texture widths
// per second along u and v). The accumulated offsets stay within -1 .. 1: a
// whole texture width is taken back in the same frame it is passed, which
// does not show because quad textures repeat.
class TextureMover : public Animation {
public:
    TextureMover(std::shared_ptr<TextureQuad> obj, float xPerSecond, float zPerSecond);

    // elapsedTime in seconds.
    void animate(double elapsedTime) override;

    float offsetU = 0;
    float offsetV = 0;
    std::shared_ptr<TextureQuad> obj;  // the scrolled quad
    bool active = true;
    float xPerSecond;
    float zPerSecond;

private:
    // Keeps offset within -1 .. 1, taking the same whole step off delta.
    static void wrap(float& offset, float& delta);
};
