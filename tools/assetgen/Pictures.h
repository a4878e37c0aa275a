// Every picture the game opens (HUD, messages, loading screen, flares,
// clouds, town plates, item icons) and the textures of the models.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "AssetSink.h"
#include "Canvas.h"

namespace assetgen {

// Flat pictures (boards, plates, icons) are stored as they are; smooth
// gradients (glows, sky) get a little dither against banding.
enum class PictureFormat { PNG_RGBA, PNG_RGBA_DITHERED, PNG_RGB, JPG };

struct PictureFile {
    std::string path;  // relative to the game folder, e.g. "images/arrow.png"
    PictureFormat format;
    std::function<Canvas()> draw;
};

const std::vector<PictureFile>& pictureFiles();

// Draws and writes them all.
void writePictures(AssetSink& sink);

// Encodes a picture in its file's format.
std::vector<uint8_t> encode(const Canvas& picture, PictureFormat format);

// Drawings, grouped by file.
// PicturesHud.cpp
Canvas drawArrow();
Canvas drawPoliceStar();
Canvas drawObjectHalo();
Canvas drawBigGlow();
Canvas drawStreaks();
Canvas drawFlareHalo();
Canvas drawHardGlow();
enum class Item { BOOZE, TOOL, ENGINE, DECEASE, OVERKILL };
Canvas drawItemIcon(Item item);
// PicturesBoards.cpp
enum class Board { LOSER, GOT_SIGN, UNMOUNT_ERROR, SIGN_FINISHED, WINNER, UNFINISHED };
Canvas drawBoard(Board board);
Canvas drawTownPlate(const std::string& town);
Canvas drawLoadingScreen();
// PicturesNature.cpp
Canvas drawClouds();
Canvas drawSky();
Canvas drawWood();
Canvas drawShingles();
Canvas drawPlaster();
Canvas drawStone();

// Shared drawing helpers.
std::vector<Vec2> rotated(const std::vector<Vec2>& points, Vec2 centre, float degrees);
// Paints a mask with a fill, a dark outline and a soft shadow below.
void paintOutlined(Canvas& c, const Mask& shape, const Paint& fill, Colour outline, float outlineWidth,
                   float shadowOffset = 0);
void paintOutlined(Canvas& c, const Mask& shape, Colour fill, Colour outline, float outlineWidth,
                   float shadowOffset = 0);

}  // namespace assetgen
