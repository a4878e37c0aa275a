#include "assets/TownPlate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <stb_truetype.h>

namespace {

// The asset kit's plate: its yellows, its ink, its border and its lettering.
constexpr float PLATE_TOP[3] = {1.0f, 0xDA / 255.0f, 0x1A / 255.0f};
constexpr float PLATE_BOTTOM[3] = {0xF5 / 255.0f, 0xC4 / 255.0f, 0.0f};
constexpr float PLATE_INK[3] = {0.06f, 0.06f, 0.1f};
constexpr float BORDER_OUTER[5] = {12, 12, 500, 244, 18};  // x0, y0, x1, y1, corner radius
constexpr float BORDER_INNER[5] = {24, 24, 488, 232, 10};
constexpr float LETTER_HEIGHT = 118.0f;  // pixels from the font's lowest to its highest point
constexpr float LETTER_ROOM = 430.0f;    // the widest a name may be

// How much of the pixel centred at (x, y) a rounded rectangle covers
// (from its signed distance, a pixel wide edge).
float roundRectCover(const float (&box)[5], float x, float y) {
    const float cx = (box[0] + box[2]) / 2, cy = (box[1] + box[3]) / 2;
    const float hx = (box[2] - box[0]) / 2, hy = (box[3] - box[1]) / 2;
    const float radius = std::min({box[4], hx, hy});
    const float qx = std::fabs(x - cx) - (hx - radius), qy = std::fabs(y - cy) - (hy - radius);
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    const float distance = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
    return std::clamp(0.5f - distance, 0.0f, 1.0f);
}

// The code points of a UTF-8 text; a byte that starts no valid sequence is
// left out rather than misread.
std::vector<int> plateCodepoints(const std::string& text) {
    std::vector<int> out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
        int cp = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        ++i;
        if (extra < 0 || i + extra > text.size()) continue;
        bool valid = true;
        for (int k = 0; k < extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = valid && (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) continue;
        i += extra;
        out.push_back(cp);
    }
    return out;
}

// A TrueType font read whole from its file.
class PlateFont {
public:
    explicit PlateFont(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const int offset = data.empty() ? -1 : stbtt_GetFontOffsetForIndex(data.data(), 0);
        ok = offset >= 0 && stbtt_InitFont(&info, data.data(), offset) != 0;
    }
    bool loaded() const { return ok; }

    float width(const std::vector<int>& text, float scale) const {
        float x = 0;
        for (std::size_t i = 0; i < text.size(); ++i) x += advance(text, i, scale);
        return x;
    }
    float capHeight(float scale) const {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBox(&info, 'H', &x0, &y0, &x1, &y1);
        return y1 * scale;
    }
    float scaleFor(float pixelHeight) const { return stbtt_ScaleForPixelHeight(&info, pixelHeight); }

    // Adds the coverage of the text whose baseline starts at (x, y) to ink
    // (width x height, the brighter of what is there and the glyph).
    void draw(const std::vector<int>& text, float scale, float x, float y, std::vector<float>& ink, int width,
              int height) const {
        std::vector<unsigned char> glyph;
        float pen = x;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const float fx = pen - std::floor(pen), fy = y - std::floor(y);
            int gx0 = 0, gy0 = 0, gx1 = 0, gy1 = 0;
            stbtt_GetCodepointBitmapBoxSubpixel(&info, text[i], scale, scale, fx, fy, &gx0, &gy0, &gx1, &gy1);
            const int gw = gx1 - gx0, gh = gy1 - gy0;
            if (gw > 0 && gh > 0) {
                glyph.assign(static_cast<std::size_t>(gw) * gh, 0);
                stbtt_MakeCodepointBitmapSubpixel(&info, glyph.data(), gw, gh, gw, scale, scale, fx, fy, text[i]);
                const int left = static_cast<int>(std::floor(pen)) + gx0, top = static_cast<int>(std::floor(y)) + gy0;
                for (int gy = 0; gy < gh; ++gy)
                    for (int gx = 0; gx < gw; ++gx) {
                        const int px = left + gx, py = top + gy;
                        if (px < 0 || py < 0 || px >= width || py >= height) continue;
                        float& cell = ink[static_cast<std::size_t>(py) * width + px];
                        cell = std::max(cell, glyph[static_cast<std::size_t>(gy) * gw + gx] / 255.0f);
                    }
            }
            pen += advance(text, i, scale);
        }
    }

private:
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
    bool ok = false;

    float advance(const std::vector<int>& text, std::size_t i, float scale) const {
        int step = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&info, text[i], &step, &bearing);
        float x = step * scale;
        if (i + 1 < text.size()) x += stbtt_GetCodepointKernAdvance(&info, text[i], text[i + 1]) * scale;
        return x;
    }
};

}  // namespace

TownPlate::TownPlate(const std::string& townName, const std::string& fontPath)
    : name(townName), ink(static_cast<std::size_t>(WIDTH) * HEIGHT, 0.0f) {
    drawBorder();
    written = drawName(fontPath);
    paint();
    ink = std::vector<float>();
}

void TownPlate::drawBorder() {
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            ink[static_cast<std::size_t>(y) * WIDTH + x] =
                roundRectCover(BORDER_OUTER, px, py) * (1.0f - roundRectCover(BORDER_INNER, px, py));
        }
}

bool TownPlate::drawName(const std::string& fontPath) {
    const std::vector<int> text = plateCodepoints(name);
    if (text.empty()) {
        std::printf("\n TownPlate(\"%s\"): WARNING! no name to write: the plate stays plain", name.c_str());
        return false;
    }
    const PlateFont font(fontPath);
    if (!font.loaded()) {
        std::printf("\n TownPlate(\"%s\"): WARNING! cannot read the font %s: the plate stays plain", name.c_str(),
                    fontPath.c_str());
        return false;
    }
    // The asset kit's fitting: the letters' height unless the name would be
    // wider than the room inside the border, then smaller in proportion.
    float scale = font.scaleFor(LETTER_HEIGHT);
    const float wide = font.width(text, scale);
    if (wide > LETTER_ROOM) scale *= LETTER_ROOM / wide;
    const float baseline = HEIGHT / 2.0f + font.capHeight(scale) / 2;
    font.draw(text, scale, WIDTH / 2.0f - font.width(text, scale) / 2, baseline, ink, WIDTH, HEIGHT);
    return true;
}

void TownPlate::paint() {
    rgb.resize(static_cast<std::size_t>(WIDTH) * HEIGHT * 3);
    for (int y = 0; y < HEIGHT; ++y) {
        const float down = (y + 0.5f) / HEIGHT;
        for (int x = 0; x < WIDTH; ++x) {
            const float cover = ink[static_cast<std::size_t>(y) * WIDTH + x];
            unsigned char* out = rgb.data() + 3 * (static_cast<std::size_t>(y) * WIDTH + x);
            for (int k = 0; k < 3; ++k) {
                const float plate = PLATE_TOP[k] + (PLATE_BOTTOM[k] - PLATE_TOP[k]) * down;
                const float colour = plate + (PLATE_INK[k] - plate) * cover;
                out[k] = static_cast<unsigned char>(std::clamp(colour, 0.0f, 1.0f) * 255.0f + 0.5f);
            }
        }
    }
}

std::shared_ptr<Texture2D> TownPlate::texture() const {
    // The GL takes the bottom row first.
    std::vector<unsigned char> flipped(rgb.size());
    const std::size_t row = static_cast<std::size_t>(WIDTH) * 3;
    for (int y = 0; y < HEIGHT; ++y)
        std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(y * row), row,
                    flipped.begin() + static_cast<std::ptrdiff_t>((HEIGHT - 1 - y) * row));
    return Texture2D::createFromTexels("plate of " + name, flipped, WIDTH, HEIGHT, 3, GL_REPEAT);
}
