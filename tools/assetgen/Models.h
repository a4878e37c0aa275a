// Every model the game opens, built in code. One function per file; the
// table ties each to its file name under models/.
#pragma once

#include <string>
#include <vector>

#include "Model.h"

namespace assetgen {

Model buildPlayerBody();
Model buildPlayerTire();
Model buildPajeroBody();
Model buildPajeroTire();
Model buildMonsterBody();
Model buildMonsterTire();
Model buildSign();
Model buildItemBooze();
Model buildItemTool();
Model buildItemEngine();
Model buildItemDecease();
Model buildItemOverkill();
Model buildChalet();
Model buildSky();

struct ModelFile {
    std::string fileName;  // under models/
    Model (*build)();
};

const std::vector<ModelFile>& modelFiles();

// The town plate the sign's "face" shows until the level gives it its own.
extern const char* const SIGN_DEFAULT_PLATE;

class AssetSink;
// Writes every model as "models/<file name>".
void writeModels(AssetSink& sink);

}  // namespace assetgen
