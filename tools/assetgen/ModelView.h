// A small software renderer that draws a model for the contact sheet, so
// the models can be judged without the game: textured, lit by one light,
// with the back faces culled as the game culls them.
#pragma once

#include "Canvas.h"
#include "Model.h"

namespace assetgen {

// Draws the model seen from the direction `viewFrom` (from its centre
// towards the eye); with fromInside, from its centre looking north (for
// the sky dome).
Canvas renderModel(const Model& model, int width, int height, Vec3 viewFrom, bool fromInside = false);

}  // namespace assetgen
