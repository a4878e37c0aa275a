// The game's icon for menus and software centres: a car on a road that
// runs to a town sign under the sky. It is made of flat shapes only, so the
// same list gives the PNG at any size and the scalable SVG.
#pragma once

#include <string>

#include "AssetSink.h"

namespace assetgen {

// The icon as a size x size picture with alpha.
Canvas iconPicture(int size);
// The icon as an SVG document (a 256 x 256 view box).
std::string iconSvg();

// Writes icons/zarvik-48.png, -128.png, -256.png and icons/zarvik.svg.
void writeIcons(AssetSink& sink);

}  // namespace assetgen
