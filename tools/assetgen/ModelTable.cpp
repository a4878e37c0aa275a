#include "Models.h"

#include "AssetSink.h"

namespace assetgen {

const char* const SIGN_DEFAULT_PLATE = "tafel_text_humtschach.png";

const std::vector<ModelFile>& modelFiles() {
    static const std::vector<ModelFile> files = {
        {"player_body.txt", buildPlayerBody},   {"player_tire.txt", buildPlayerTire},
        {"pajero_body.txt", buildPajeroBody},   {"pajero_tire.txt", buildPajeroTire},
        {"monster_body.txt", buildMonsterBody}, {"monster_tire.txt", buildMonsterTire},
        {"sign.txt", buildSign},                {"item_booze.txt", buildItemBooze},
        {"item_tool.txt", buildItemTool},       {"item_engine.txt", buildItemEngine},
        {"item_decease.txt", buildItemDecease}, {"item_overkill.txt", buildItemOverkill},
        {"chalet.txt", buildChalet},            {"sky.txt", buildSky},
    };
    return files;
}

void writeModels(AssetSink& sink) {
    for (const ModelFile& file : modelFiles()) sink.write("models/" + file.fileName, file.build().toMilkshapeAscii());
}

}  // namespace assetgen
