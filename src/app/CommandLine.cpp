#include "app/CommandLine.h"

#include <cstdlib>
#include <functional>
#include <map>

#include "app/KeyTable.h"
#include "app/Version.h"
#include "game/Difficulty.h"

namespace {

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && value == value;  // the whole text, and not NaN
}

bool parseWindow(const std::string& text, int& w, int& h) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    double dw = 0, dh = 0;
    if (!parseNumber(text.substr(0, x), dw) || !parseNumber(text.substr(x + 1), dh)) return false;
    if (dw < 1 || dh < 1 || dw > 16384 || dh > 16384 || dw != int(dw) || dh != int(dh)) return false;
    w = int(dw);
    h = int(dh);
    return true;
}

bool isOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// The keys line up with the options above them, in a terminal's 80 columns.
constexpr std::size_t HELP_INPUT_WIDTH = 21;
constexpr std::size_t HELP_LINE_WIDTH = 80;

}  // namespace

std::optional<Options> parseCommandLine(const std::vector<std::string>& args, std::string& error) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* what) -> const std::string* {
            if (i + 1 < args.size() && !isOption(args[i + 1])) return &args[++i];
            error = arg + " needs " + what;
            return nullptr;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--autoplay") {
            options.autoplay = true;
        } else if (arg == "--fixed-step") {
            options.fixedStep = true;
        } else if (arg == "--no-multisampling") {
            options.multisampling = false;
        } else if (arg == "--no-detail-texture") {
            options.detailTexture = false;
        } else if (arg == "--no-menu") {
            options.menu = false;
        } else if (arg == "--no-minimap") {
            options.minimap = false;
        } else if (arg == "--no-ghost") {
            options.ghost = false;
        } else if (arg == "--ghost" || arg == "--record-ghost") {
            const std::string* file = value("a file name");
            if (!file) return std::nullopt;
            (arg == "--ghost" ? options.ghostFile : options.recordGhost) = *file;
        } else if (arg == "--benchmark") {
            options.benchmark = true;
            // The seconds are optional: a following number belongs to the option.
            double seconds = 0;
            if (i + 1 < args.size() && parseNumber(args[i + 1], seconds)) {
                if (seconds <= 0 || seconds > 86400) {
                    error = "--benchmark wants between 0 and 86400 seconds, not " + args[i + 1];
                    return std::nullopt;
                }
                options.benchmarkSeconds = seconds;
                ++i;
            }
        } else if (arg == "--benchmark-csv") {
            const std::string* file = value("a file name");
            if (!file) return std::nullopt;
            options.benchmarkCsv = *file;
        } else if (arg == "--benchmark-capture") {
            const std::string* file = value("a file name");
            if (!file) return std::nullopt;
            options.benchmarkCapture = *file;
        } else if (arg == "--benchmark-phases") {
            options.benchmarkPhases = true;
        } else if (arg == "--benchmark-overdraw") {
            options.benchmarkOverdraw = true;
        } else if (arg == "--benchmark-pictures") {
            const std::string* folder = value("a folder");
            if (!folder) return std::nullopt;
            options.benchmarkPictures = *folder;
        } else if (arg == "--benchmark-alternate") {
            const std::string* feature = value("ghost or minimap");
            if (!feature) return std::nullopt;
            if (*feature != "ghost" && *feature != "minimap") {
                error = "--benchmark-alternate wants ghost or minimap, not " + *feature;
                return std::nullopt;
            }
            options.benchmarkAlternate = *feature;
        } else if (arg == "--resolution") {
            const std::string* mode = value("auto or full");
            if (!mode) return std::nullopt;
            if (*mode != "auto" && *mode != "full") {
                error = "--resolution wants auto or full, not " + *mode;
                return std::nullopt;
            }
            options.resolution = *mode;
        } else if (arg == "--target-ms") {
            const std::string* text = value("a time in ms");
            double ms = 0;
            if (!text) return std::nullopt;
            if (!parseNumber(*text, ms) || ms < 1 || ms > 1000) {
                error = "--target-ms wants between 1 and 1000 ms, not " + *text;
                return std::nullopt;
            }
            options.targetMs = ms;
        } else if (arg == "--seed") {
            const std::string* text = value("a number");
            double seed = 0;
            if (!text) return std::nullopt;
            if (!parseNumber(*text, seed) || seed < 0 || seed > 4294967295.0 || seed != double(unsigned(seed))) {
                error = "--seed wants a whole number from 0 to 4294967295, not " + *text;
                return std::nullopt;
            }
            options.seed = unsigned(seed);
        } else if (arg == "--level") {
            const std::string* level = value("a level's name or file");
            if (!level) return std::nullopt;
            options.level = *level;
        } else if (arg == "--difficulty") {
            const std::string* name = value("easy, normal or hard");
            if (!name) return std::nullopt;
            if (!Difficulty::named(*name)) {
                error = "--difficulty wants one of " + Difficulty::names() + ", not " + *name;
                return std::nullopt;
            }
            options.difficulty = *name;
        } else if (arg == "--levels") {
            options.listLevels = true;
        } else if (arg == "--data") {
            const std::string* folder = value("a folder");
            if (!folder) return std::nullopt;
            options.dataFolder = *folder;
        } else if (arg == "--window") {
            const std::string* text = value("a size WxH");
            if (!text) return std::nullopt;
            if (!parseWindow(*text, options.windowWidth, options.windowHeight)) {
                error = "--window wants a size like 1024x768, not " + *text;
                return std::nullopt;
            }
            options.windowGiven = true;
        } else if (isOption(arg)) {
            error = "unknown option " + arg + " (--help lists them)";
            return std::nullopt;
        } else if (options.gameMode.empty()) {
            options.gameMode = arg;  // the one plain argument: a full-screen game mode
        } else {
            error = "one game mode only, not also " + arg;
            return std::nullopt;
        }
    }
    if (options.autoplay || options.benchmark) options.fixedStep = true;
    return options;
}

std::string versionText() { return std::string("zarvik ") + ZARVIK_VERSION; }

const std::vector<OptionRow>& optionRows() {
    static const std::vector<OptionRow> rows = {
        {"GAMEMODE", "full screen in a GLUT game mode, e.g. 1024x768:32"},
        {"--window WxH", "the window's size (default 800x600), in a window"},
        {"--autoplay", "the game plays itself; exits 0 after a win, 3 when caught"},
        {"--benchmark [SECONDS]", "autoplay for SECONDS simulated seconds (default 60), then timing figures"},
        {"--benchmark-csv FILE", "with --benchmark: one row per frame into FILE"},
        {"--benchmark-capture FILE", "with --benchmark: the triangles of every 60th frame into FILE"},
        {"--benchmark-phases", "with --benchmark: the shares of each phase (each waits for its drawing: slower)"},
        {"--benchmark-overdraw", "with --benchmark: the samples each pass writes, counted in a second drawing of every frame"},
        {"--benchmark-pictures DIR", "with --benchmark: frames 1, 60, 300, 900 and 1500 as DIR/frame-NNNN.png"},
        {"--benchmark-alternate WHAT", "with --benchmark: the ghost or the minimap on every other frame only, and what it costs"},
        {"--fixed-step", "every frame advances the game by exactly 1/60 s"},
        {"--seed N", "the same random numbers on every run"},
        {"--no-multisampling", "one sample per pixel: rougher edges, about twice the frame rate on a software rasteriser"},
        {"--resolution MODE", "auto: the world drawn smaller and scaled up when frames are slow (the default); full: always at the window's size"},
        {"--target-ms MS", "the frame time auto resolution holds, 1 to 1000 ms (default 16.7)"},
        {"--no-detail-texture", "the near ground without its grain (to measure what it costs)"},
        {"--ghost FILE", "race against the ghost in FILE instead of the kept one"},
        {"--record-ghost FILE", "write the ghost of a won race to FILE (also with --autoplay)"},
        {"--no-ghost", "start with the ghost hidden (g shows it)"},
        {"--no-menu", "no start panel: the race is ready at once (p still shows the pause panel)"},
        {"--no-minimap", "start with the minimap and the speedometer hidden (n shows them)"},
        {"--level NAME|FILE", "play the level NAME of the data's levels/ folder, or the level file FILE (kept for the next game)"},
        {"--levels", "list the levels of the levels/ folder with their names and descriptions"},
        {"--difficulty NAME", "easy (slower, shorter-sighted pursuers, shorter rows, longer items), normal or hard "
                              "(faster, farther-sighted pursuers, shorter items)"},
        {"--data DIR", "the game's data is in DIR (else $ZARVIK_DATA, else beside the program, else installed)"},
        {"--help", "this text"},
        {"--version", "the version"},
    };
    return rows;
}

const std::vector<OptionRow>& glutOptionRows() {
    static const std::vector<OptionRow> rows = {
        {"-display DISPLAY", "the X display to play on"},
        {"-geometry WxH+X+Y", "the window's size and place (over --window)"},
        {"-direct, -indirect", "direct or indirect GL rendering"},
        {"-iconic", "start iconified"},
        {"-gldebug", "report GL errors as they happen"},
        {"-sync", "synchronous X calls"},
    };
    return rows;
}

static std::string settingsHelp() {
    return "settings file: $XDG_CONFIG_HOME/zarvik/settings.toml (else ~/.config/zarvik/settings.toml),\n"
           "read at start (the options above win for the run); the game writes what the volume\n"
           "keys, m, n, g, the full-screen key and a resized window change, and keeps the rest:\n"
           "  [window]   width, height (pixels), x, y, full_screen, multisampling, detail_savings\n"
           "             (F11's savings; true or false), resolution (\"auto\" or \"full\"),\n"
           "             target_ms (the frame time auto resolution holds, 1 to 1000)\n"
           "  [sound]    music, effects (per cent, 0 to 100), mute (true or false)\n"
           "  [keys]     drive_up, drive_left, drive_down, drive_right, arrow_up, arrow_left,\n"
           "             arrow_down, arrow_right (the sign game; they follow the drive keys unless\n"
           "             set), reset, pause, mute, screenshot, music_down, music_up, effects_down,\n"
           "             effects_up, full_screen, minimap, ghost, next_level: a key name such as \"w\", \",\",\n"
           "             \"space\", \"F12\", \"up\", \"page_down\"\n"
           "  [gamepad]  dead_zone (per cent of a stick's travel, 0 to 90)\n"
           "  [view]     minimap, ghost (shown: true or false; n and g switch them),\n"
           "             detail_texture (the near ground's grain: true or false)\n"
           "  [game]     level (the level played last: a name in levels/ or a level file),\n"
           "             difficulty (\"easy\", \"normal\" or \"hard\")\n";
}

std::string helpText() {
    auto columns = [](const std::vector<OptionRow>& rows) {
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const OptionRow& row : rows) pairs.emplace_back(row.option, row.effect);
        return KeyTable::columns(pairs, HELP_INPUT_WIDTH, HELP_LINE_WIDTH);
    };
    return "usage: zarvik [GLUT options] [options] [GAMEMODE]\n\n" + columns(optionRows()) +
           "\nGLUT's options, taken out of the command line by GLUT before the game reads it:\n" +
           columns(glutOptionRows()) + "\n" + settingsHelp() + "\nkeys and mouse:\n" +
           KeyTable::text(HELP_INPUT_WIDTH, HELP_LINE_WIDTH);
}
