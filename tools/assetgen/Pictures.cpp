#include "Pictures.h"

#include <cmath>
#include <thread>

#include "Font.h"
#include "ModelTextures.h"
#include "Sky.h"

namespace assetgen {

const std::vector<PictureFile>& pictureFiles() {
    using F = PictureFormat;
    static const std::vector<PictureFile> files = {
        {"images/loading.jpg", F::JPG, drawLoadingScreen},
        {"images/objecthalo.png", F::PNG_RGBA_DITHERED, drawObjectHalo},
        {"images/arrow.png", F::PNG_RGBA, drawArrow},
        {"images/policestar.png", F::PNG_RGBA, drawPoliceStar},
        {"images/loser.png", F::PNG_RGBA, [] { return drawBoard(Board::LOSER); }},
        {"images/got_sign.png", F::PNG_RGBA, [] { return drawBoard(Board::GOT_SIGN); }},
        {"images/unmount_error.png", F::PNG_RGBA, [] { return drawBoard(Board::UNMOUNT_ERROR); }},
        {"images/sign_finished.png", F::PNG_RGBA, [] { return drawBoard(Board::SIGN_FINISHED); }},
        {"images/winner.png", F::PNG_RGBA, [] { return drawBoard(Board::WINNER); }},
        {"images/unfinished.png", F::PNG_RGBA, [] { return drawBoard(Board::UNFINISHED); }},
        {"images/BigGlow.png", F::PNG_RGBA_DITHERED, drawBigGlow},
        {"images/Streaks.png", F::PNG_RGBA_DITHERED, drawStreaks},
        {"images/Halo.png", F::PNG_RGBA_DITHERED, drawFlareHalo},
        {"images/HardGlow.png", F::PNG_RGBA_DITHERED, drawHardGlow},
        {"images/clouds.png", F::PNG_RGBA, drawClouds},
        {"models/item_booze.png", F::PNG_RGBA, [] { return drawItemIcon(Item::BOOZE); }},
        {"models/item_tool.png", F::PNG_RGBA, [] { return drawItemIcon(Item::TOOL); }},
        {"models/item_engine.png", F::PNG_RGBA, [] { return drawItemIcon(Item::ENGINE); }},
        {"models/item_decease.png", F::PNG_RGBA, [] { return drawItemIcon(Item::DECEASE); }},
        {"models/item_overkill.png", F::PNG_RGBA, [] { return drawItemIcon(Item::OVERKILL); }},
        {"models/tafel_text_humtschach.png", F::PNG_RGB, [] { return drawTownPlate("HUMTSCHACH"); }},
        {"models/tafel_text_ratschitschach.png", F::PNG_RGB, [] { return drawTownPlate("RATSCHITSCHACH"); }},
        {"models/tafel_text_smihel.png", F::PNG_RGB, [] { return drawTownPlate("SMIHEL"); }},
        {"models/tafel_text_gotschuchn.png", F::PNG_RGB, [] { return drawTownPlate("GOTSCHUCHN"); }},
        {std::string("models/") + SKY_TEXTURE, F::JPG, drawSky},
        {std::string("models/") + CHALET_WOOD, F::PNG_RGB, drawWood},
        {std::string("models/") + CHALET_ROOF, F::PNG_RGB, drawShingles},
        {std::string("models/") + CHALET_PLASTER, F::PNG_RGB, drawPlaster},
        {std::string("models/") + CHALET_STONE, F::PNG_RGB, drawStone},
    };
    return files;
}

std::vector<uint8_t> encode(const Canvas& picture, PictureFormat format) {
    switch (format) {
        case PictureFormat::PNG_RGBA: return picture.png(true, false);
        case PictureFormat::PNG_RGBA_DITHERED: return picture.png(true, true);
        case PictureFormat::PNG_RGB: return picture.png(false, false);
        case PictureFormat::JPG: return picture.jpg(90, true);
    }
    return {};
}

void writePictures(AssetSink& sink) {
    // Two threads share the pictures; each file depends only on its drawing.
    auto work = [&sink](size_t first) {
        for (size_t i = first; i < pictureFiles().size(); i += 2) {
            const PictureFile& file = pictureFiles()[i];
            Canvas picture = file.draw();
            sink.write(file.path, encode(picture, file.format));
            sink.preview(file.path, picture);
        }
    };
    std::thread helper(work, 1);
    work(0);
    helper.join();
    // The game writes the names of a level's towns on their plates at load
    // time, in the letters of the plates drawn here.
    const std::vector<unsigned char>& font = gameFont().fileBytes();
    sink.write("images/plate-font.ttf", std::vector<uint8_t>(font.begin(), font.end()));
}

std::vector<Vec2> rotated(const std::vector<Vec2>& points, Vec2 centre, float degrees) {
    float a = degrees * PI_F / 180, c = std::cos(a), s = std::sin(a);
    std::vector<Vec2> out;
    for (const Vec2& p : points) {
        Vec2 d = p - centre;
        out.emplace_back(centre.x + d.x * c - d.y * s, centre.y + d.x * s + d.y * c);
    }
    return out;
}

void paintOutlined(Canvas& c, const Mask& shape, const Paint& fill, Colour outline, float outlineWidth,
                   float shadowOffset) {
    Mask rim = outlineWidth > 0 ? shape.grown(outlineWidth) : shape;
    if (shadowOffset > 0) {
        int d = static_cast<int>(std::lround(shadowOffset));
        c.fill(rim.blurred(shadowOffset).moved(d / 2, d), Colour(0, 0, 0, 0.45f));
    }
    if (outlineWidth > 0) c.fill(rim, outline);
    c.fill(shape, fill);
}

void paintOutlined(Canvas& c, const Mask& shape, Colour fill, Colour outline, float outlineWidth,
                   float shadowOffset) {
    paintOutlined(c, shape, Paint([fill](float, float) { return fill; }), outline, outlineWidth, shadowOffset);
}

}  // namespace assetgen
