#pragma once
#include <optional>
#include <string>
#include <vector>

// What the player asked for on the command line. Without options the game
// opens its 800 x 600 window and is played by hand, on the wall clock.
struct Options {
    std::string gameMode;         // a GLUT game-mode string ("1024x768:32"): full screen
    int windowWidth = 800;        // --window WxH
    int windowHeight = 600;
    bool windowGiven = false;     // --window was given: over the settings file's size and full screen
    bool autoplay = false;        // --autoplay: the game plays itself
    bool benchmark = false;       // --benchmark [SECONDS]: autoplay, then timing figures
    double benchmarkSeconds = 60.0;  // simulated seconds of the benchmark
    std::string benchmarkCsv;     // --benchmark-csv FILE: one row per frame
    std::string benchmarkCapture;  // --benchmark-capture FILE: the triangles of every 60th frame (app/FrameCapture.h)
    bool benchmarkPhases = false;    // --benchmark-phases: time each phase apart (waits for the GL after each)
    bool benchmarkOverdraw = false;  // --benchmark-overdraw: count the samples each pass writes
    std::string benchmarkPictures;  // --benchmark-pictures DIR: frames 1, 60, 300, 900 and 1500 as PNG files
    std::string benchmarkAlternate;  // --benchmark-alternate ghost|minimap: shown on every other frame only
    bool fixedStep = false;       // --fixed-step (implied by --autoplay and --benchmark): 1/60 s per frame
    bool multisampling = true;    // --no-multisampling: one sample per pixel (a software rasteriser runs twice as fast)
    std::string resolution;       // --resolution auto|full: the world's resolution (empty: the settings file's)
    std::optional<double> targetMs;  // --target-ms MS: the frame time dynamic resolution holds
    bool detailTexture = true;    // --no-detail-texture: the ground without its grain (to measure its cost)
    bool menu = true;             // --no-menu: no start panel, the race at once
    bool minimap = true;          // --no-minimap: start with the minimap and the speedometer hidden
    bool ghost = true;            // --no-ghost: the ghost starts hidden
    std::string ghostFile;        // --ghost FILE: race against FILE instead of the kept ghost
    std::string recordGhost;      // --record-ghost FILE: a won race's ghost into FILE
    std::optional<unsigned> seed;  // --seed N: every random number repeats
    std::string dataFolder;       // --data DIR: the game's data is there (app/DataFolder.h)
    std::string level;            // --level NAME|FILE: a level of levels/ by name, or any level file
    std::string difficulty;       // --difficulty easy|normal|hard (empty: the settings file's)
    bool listLevels = false;      // --levels: list the levels of levels/ and end
    bool help = false;            // --help
    bool version = false;         // --version
};

// Reads the arguments after the program name. On a bad option or value it
// returns nothing and sets error to a message for the console.
std::optional<Options> parseCommandLine(const std::vector<std::string>& args, std::string& error);

// One option as --help and the manual page describe it.
struct OptionRow {
    std::string option;  // with its value: "--window WxH"
    std::string effect;
};
// The game's own options, and GLUT's (GLUT takes them out of the command
// line before the game reads it).
const std::vector<OptionRow>& optionRows();
const std::vector<OptionRow>& glutOptionRows();

// The --help text: every option and every key.
std::string helpText();
// The --version line.
std::string versionText();
