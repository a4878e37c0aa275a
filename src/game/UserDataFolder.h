#pragma once
#include <string>

// The folder of everything a player makes (best times, screenshots):
// $XDG_DATA_HOME/zarvik, else ~/.local/share/zarvik. The game's data folder
// is never written to.
class UserDataFolder {
public:
    // The folder, or sub under it ("screenshots"); empty when neither
    // XDG_DATA_HOME (an absolute path) nor HOME is set.
    static std::string path(const std::string& sub = "");

    // Creates folder and every missing folder above it (mkdir -p). False
    // with the reason in error (a file where a folder should be, no right
    // to write, ...).
    static bool create(const std::string& folder, std::string& error);
};
