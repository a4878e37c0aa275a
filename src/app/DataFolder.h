#pragma once
#include <optional>
#include <string>
#include <vector>

// Where the game's data (the folders audio, images, models and terrain)
// lives. The game opens its files relative to the working directory, so it
// changes into the folder found.
//
// The places, in this order: the folder named by --data, else the one in
// $ZARVIK_DATA (a folder asked for by name is the only place tried); else
// the folder beside the executable (the build tree), then the installed
// data folder found from the executable's folder (a moved install tree
// still finds its data).
class DataFolder {
public:
    struct Place {
        std::string folder;
        std::string what;  // "--data", "$ZARVIK_DATA", "beside the program", "installed"
    };

    // The places to look in, for the --data option (may be empty), the value
    // of $ZARVIK_DATA (null when unset) and the executable's path.
    static std::vector<Place> places(const std::string& option, const char* environment,
                                     const std::string& executable);
    // True when folder holds every data folder of the game.
    static bool holdsData(const std::string& folder);
    // The first place that holds the data; none with the one-line message
    // that names every place tried.
    static std::optional<std::string> find(const std::vector<Place>& places, std::string& error);

    // This process's executable (/proc/self/exe); empty when unknown.
    static std::string executable();
};
