// assetgen: writes every data file the game opens (models, pictures,
// terrain, sounds) into a game folder, the same bytes on every run.
//
//   assetgen OUTDIR                    write models/ images/ terrain/ audio/
//   assetgen --preview SHEET.png       draw a contact sheet of the pictures,
//                                      tiles and models (writes nothing else)
//   assetgen --preview SHEET.png OUTDIR  both
//   assetgen --icons OUTDIR            write only the game's icons/ (menus, software centres)
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>

#include "AssetSink.h"
#include "ContactSheet.h"
#include "Icon.h"
#include "Models.h"
#include "Pictures.h"
#include "Sounds.h"
#include "Terrain.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        assetgen::AssetSink sink(argv[2], false);
        assetgen::writeIcons(sink);
        return sink.ok() ? 0 : 1;
    }
    std::string outDir, preview;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--preview" && i + 1 < argc) {
            preview = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && outDir.empty()) {
            outDir = arg;
        } else {
            outDir.clear();
            preview.clear();
            break;
        }
    }
    if (outDir.empty() && preview.empty()) {
        std::printf("usage: %s OUTDIR | --preview SHEET.png [OUTDIR] | --icons OUTDIR\n", argv[0]);
        return 2;
    }

    const auto start = std::chrono::steady_clock::now();
    // Wall time and processor time (all threads) of each step.
    auto lap = [last = start, lastCpu = std::clock()](const char* what) mutable {
        auto now = std::chrono::steady_clock::now();
        std::clock_t cpu = std::clock();
        std::printf("\n   %-10s %.2f s (processor %.2f s)", what, std::chrono::duration<double>(now - last).count(),
                    static_cast<double>(cpu - lastCpu) / CLOCKS_PER_SEC);
        last = now;
        lastCpu = cpu;
    };
    assetgen::AssetSink sink(outDir, !preview.empty());
    assetgen::writeModels(sink);
    lap("models");
    assetgen::writePictures(sink);
    lap("pictures");
    assetgen::writeTerrain(sink);
    lap("terrain");
    if (sink.writing()) {
        assetgen::writeSounds(sink);
        lap("sounds");
    }
    bool ok = sink.ok();
    if (!preview.empty()) {
        ok = assetgen::writeContactSheet(sink, preview) && ok;
        lap("preview");
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\n assetgen: %zu files, %.2f MB in %.2f s\n", sink.fileCount(), sink.byteCount() / 1048576.0,
                seconds);
    return ok ? 0 : 1;
}
