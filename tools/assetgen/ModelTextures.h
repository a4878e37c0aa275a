// Pictures that only models use, written beside the models.
#pragma once

namespace assetgen {

constexpr const char* CHALET_WOOD = "chalet_wood.png";
constexpr const char* CHALET_ROOF = "chalet_roof.png";
constexpr const char* CHALET_PLASTER = "chalet_plaster.png";
constexpr const char* CHALET_STONE = "chalet_stone.png";

}  // namespace assetgen
