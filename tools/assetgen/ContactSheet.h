// One picture that shows the whole kit at once: every picture with its
// name, the terrain tiles laid out as the level sees them next to the
// heightmap, and a view of every model.
#pragma once

#include <string>

#include "AssetSink.h"

namespace assetgen {

bool writeContactSheet(const AssetSink& sink, const std::string& file);

}  // namespace assetgen
