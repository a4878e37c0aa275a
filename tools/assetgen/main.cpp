// assetgen: writes every data file the game opens (models, pictures,
// terrain, sounds) into a game folder, the same bytes on every run.
//
//   assetgen OUTDIR                    write models/ images/ terrain/ audio/
//   assetgen --preview SHEET.png       draw a contact sheet of the pictures,
//                                      tiles and models (writes nothing else)
//   assetgen --preview SHEET.png OUTDIR  both
//   assetgen --icons OUTDIR            write only the game's icons/ (menus, software centres)
//   assetgen --level SEED DIR [--shape hills|valley|pass]
//                                      make a level: DIR/level.toml and DIR/heightmap.png
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "AssetSink.h"
#include "ContactSheet.h"
#include "Icon.h"
#include "LevelWriter.h"
#include "Models.h"
#include "Pictures.h"
#include "Sounds.h"
#include "Terrain.h"

namespace {

// A seed: a whole number from 0 to 4294967295, nothing else.
std::optional<uint32_t> seedFrom(const std::string& text) {
    char* end = nullptr;
    const unsigned long long seed = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || *end != '\0' ||
        seed > 0xFFFFFFFFull || text.size() > 10)
        return std::nullopt;
    return static_cast<uint32_t>(seed);
}

// assetgen --level SEED DIR [--shape SHAPE]
int makeLevel(int argc, char** argv) {
    std::optional<uint32_t> seed = argc == 4 || argc == 6 ? seedFrom(argv[2]) : std::nullopt;
    std::optional<assetgen::LevelShape> shape = assetgen::LevelShape::HILLS;
    if (argc == 6) shape = std::string(argv[4]) == "--shape" ? assetgen::shapeNamed(argv[5]) : std::nullopt;
    if (!seed || !shape) {
        std::printf("usage: %s --level SEED DIR [--shape hills|valley|pass]   (SEED: 0 to 4294967295)\n", argv[0]);
        return 2;
    }
    assetgen::AssetSink sink(argv[3], false);
    const std::string made = assetgen::writeMadeLevel(sink, *seed, *shape);
    if (!sink.ok()) {
        std::printf("\n");
        return 1;
    }
    std::printf("assetgen: made %s/level.toml from seed %u: %s\n", argv[3], *seed, made.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--level") return makeLevel(argc, argv);
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
        std::printf("usage: %s OUTDIR | --preview SHEET.png [OUTDIR] | --icons OUTDIR | --level SEED DIR\n", argv[0]);
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
    assetgen::writeShippedLevelGrounds(sink);
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
