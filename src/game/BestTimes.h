#pragma once
#include <optional>
#include <string>

// The best race time, kept in a small text file between games. The file
// holds one line, "best <seconds>" (for example "best 130.5"); anything
// else is corrupt. A missing, unreadable or corrupt file means no record
// yet, with a one-line note on the console; a file that cannot be written
// leaves the record in memory only, with a note too. A new record is written
// to a temporary file in the same folder and renamed over the old one, so a
// crash leaves either the old file or the new one, never half a file.
class BestTimes {
public:
    // The record file at path; nothing is read until load().
    explicit BestTimes(std::string path);

    // "records" in the player's data folder (game/UserDataFolder.h);
    // empty without one.
    static std::string defaultPath();

    // Reads the file; the record is empty when there is none to read.
    void load();
    // Keeps a race time (seconds) if it beats the record; true when it did.
    // Times that are not positive and finite are no race time.
    bool offer(double seconds);

    std::optional<double> best() const { return record; }
    const std::string& getPath() const { return path; }

    // The file's text for a record; parse() reads it back.
    static std::string format(double seconds);
    static std::optional<double> parse(const std::string& text);

private:
    bool save(double seconds) const;

    std::string path;
    std::optional<double> record;
};
