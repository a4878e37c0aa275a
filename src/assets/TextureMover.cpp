#include "assets/TextureMover.h"

TextureMover::TextureMover(std::shared_ptr<TextureQuad> quad, float x, float z)
    : obj(std::move(quad)), xPerSecond(x), zPerSecond(z) {}

void TextureMover::wrap(float& offset, float& delta) {
    if (offset > 1) {
        offset -= 1;
        delta -= 1;
    }
    if (offset < -1) {
        offset += 1;
        delta += 1;
    }
}

void TextureMover::animate(double elapsedTime) {
    if (!active || !obj) return;
    float du = static_cast<float>(xPerSecond * elapsedTime);
    float dv = static_cast<float>(zPerSecond * elapsedTime);
    offsetU += du;
    offsetV += dv;
    wrap(offsetU, du);
    wrap(offsetV, dv);
    float* uv = obj->getTexCoords().get();
    for (int corner = 0; corner < 4; ++corner) {
        uv[2 * corner] += du;
        uv[2 * corner + 1] += dv;
    }
}
