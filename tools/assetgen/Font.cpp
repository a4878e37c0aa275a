#include "Font.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "stb_truetype.h"

namespace assetgen {

namespace {

// Decodes UTF-8 into code points (the texts are ASCII, umlauts allowed).
std::vector<int> codepoints(const std::string& s) {
    std::vector<int> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int cp = c, extra = 0;
        if (c >= 0xF0) cp = c & 7, extra = 3;
        else if (c >= 0xE0) cp = c & 15, extra = 2;
        else if (c >= 0xC0) cp = c & 31, extra = 1;
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 63);
        out.push_back(cp);
    }
    return out;
}

}  // namespace

Font::Font(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (data.empty()) {
        std::printf("\n Font::Font(%s): ERROR! unable to read the font file", path.c_str());
        return;
    }
    info = new stbtt_fontinfo;
    if (!stbtt_InitFont(info, data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0))) {
        std::printf("\n Font::Font(%s): ERROR! not a TrueType font", path.c_str());
        delete info;
        info = nullptr;
    }
}

Font::~Font() { delete info; }

float Font::width(const std::string& text, float pixelHeight) const {
    if (!info) return 0;
    const float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
    std::vector<int> cps = codepoints(text);
    float x = 0;
    for (size_t i = 0; i < cps.size(); ++i) {
        int advance, lsb;
        stbtt_GetCodepointHMetrics(info, cps[i], &advance, &lsb);
        x += advance * scale;
        if (i + 1 < cps.size()) x += stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]) * scale;
    }
    return x;
}

float Font::capHeight(float pixelHeight) const {
    if (!info) return 0;
    int x0, y0, x1, y1;
    stbtt_GetCodepointBox(info, 'H', &x0, &y0, &x1, &y1);
    return y1 * stbtt_ScaleForPixelHeight(info, pixelHeight);
}

Mask Font::text(const std::string& text, float pixelHeight, float x, float y) const {
    if (!info) return Mask();
    const float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
    int ascent, descent, gap;
    stbtt_GetFontVMetrics(info, &ascent, &descent, &gap);
    const float w = width(text, pixelHeight);
    const int top = static_cast<int>(std::floor(y - ascent * scale)) - 2;
    const int left = static_cast<int>(std::floor(x)) - 2;
    Mask m(left, top, static_cast<int>(std::ceil(w)) + 6, static_cast<int>(std::ceil((ascent - descent) * scale)) + 6);
    std::vector<int> cps = codepoints(text);
    float pen = x;
    std::vector<unsigned char> glyph;
    for (size_t i = 0; i < cps.size(); ++i) {
        const float fx = pen - std::floor(pen), fy = y - std::floor(y);
        int gx0, gy0, gx1, gy1;
        stbtt_GetCodepointBitmapBoxSubpixel(info, cps[i], scale, scale, fx, fy, &gx0, &gy0, &gx1, &gy1);
        const int gw = gx1 - gx0, gh = gy1 - gy0;
        if (gw > 0 && gh > 0) {
            glyph.assign(static_cast<size_t>(gw) * gh, 0);
            stbtt_MakeCodepointBitmapSubpixel(info, glyph.data(), gw, gh, gw, scale, scale, fx, fy, cps[i]);
            const int ox = static_cast<int>(std::floor(pen)) + gx0, oy = static_cast<int>(std::floor(y)) + gy0;
            for (int gy = 0; gy < gh; ++gy)
                for (int gxp = 0; gxp < gw; ++gxp) {
                    int lx = ox + gxp - left, ly = oy + gy - top;
                    if (lx < 0 || ly < 0 || lx >= m.width() || ly >= m.height()) continue;
                    float c = glyph[static_cast<size_t>(gy) * gw + gxp] / 255.0f;
                    float& cell = m.cell(lx, ly);
                    cell = std::max(cell, c);
                }
        }
        int advance, lsb;
        stbtt_GetCodepointHMetrics(info, cps[i], &advance, &lsb);
        pen += advance * scale;
        if (i + 1 < cps.size()) pen += stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]) * scale;
    }
    return m;
}

Mask Font::centred(const std::string& text, float pixelHeight, float cx, float y) const {
    return this->text(text, pixelHeight, cx - width(text, pixelHeight) / 2, y);
}

float Font::fit(const std::string& text, float wanted, float maxWidth) const {
    float w = width(text, wanted);
    return w > maxWidth && w > 0 ? wanted * maxWidth / w : wanted;
}

const Font& gameFont() {
    static const Font font("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    return font;
}

}  // namespace assetgen
