// Text drawn with a TrueType font (stb_truetype), as masks to paint.
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"

struct stbtt_fontinfo;

namespace assetgen {

class Font {
public:
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool loaded() const { return info != nullptr; }
    // Width in pixels of a line of text at the given pixel height.
    float width(const std::string& text, float pixelHeight) const;
    // Height of capital letters above the baseline, in pixels.
    float capHeight(float pixelHeight) const;
    // Coverage of a line of text whose baseline starts at (x, y).
    Mask text(const std::string& text, float pixelHeight, float x, float y) const;
    // The same, centred horizontally on cx.
    Mask centred(const std::string& text, float pixelHeight, float cx, float y) const;
    // The largest pixel height (up to `wanted`) at which text fits maxWidth.
    float fit(const std::string& text, float wanted, float maxWidth) const;
    // The font file as read.
    const std::vector<unsigned char>& fileBytes() const { return data; }

private:
    std::vector<unsigned char> data;
    stbtt_fontinfo* info = nullptr;
};

// The game's font: DejaVu Sans Bold.
const Font& gameFont();

}  // namespace assetgen
