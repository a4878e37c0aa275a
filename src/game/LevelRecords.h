#pragma once
#include <cstdint>
#include <string>

#include "game/Difficulty.h"

// Where a level's best time and ghost (with its split times) are kept:
// <user data folder>/levels/<level id>-<fingerprint, 16 hex digits>/records
// and .../ghost; on another difficulty than normal the folder's name ends
// in -easy or -hard, so each difficulty has its own records. The fingerprint covers the level file and the files it
// names (DemoLevel::fingerprint), so an edited level starts without records
// and never shows another's ghost as its own.
class LevelRecords {
public:
    // userFolder: UserDataFolder::path(); empty: nothing is kept.
    LevelRecords(const std::string& userFolder, const std::string& levelId, std::uint64_t fingerprint,
                 const Difficulty& difficulty = Difficulty::NORMAL);

    const std::string& folder() const { return levelFolder; }
    std::string recordsPath() const;
    std::string ghostPath() const;

    // Makes the folder; false, with a console line, when it cannot.
    bool prepare() const;

    // Before levels were files the game kept one record and one ghost,
    // <user data folder>/records and /ghost, both of the first level. The
    // first level takes them over once, while it has none of its own: the
    // record as it is, the ghost when it was driven on that level (read with
    // the fingerprint of those days) and keyed anew. The old files stay.
    void adoptOldRecords(const std::string& userFolder, std::uint64_t oldFingerprint) const;

private:
    std::string levelFolder;
    std::uint64_t fingerprint;
};
