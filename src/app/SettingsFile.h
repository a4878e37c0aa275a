#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/Settings.h"

// The settings file, `$XDG_CONFIG_HOME/zarvik/settings.toml` (else
// `~/.config/zarvik/settings.toml`), a TOML file read with toml++ (entries in
// app/Settings.h).
//
// Reading never fails: a missing, empty, unreadable or malformed file gives
// the defaults, an entry of the wrong type or out of range gives that
// entry's default, and each of these leaves one line in messages() naming the
// file, the line and the value used.
//
// Writing changes the text of the entries it is given and nothing else: the
// value on the entry's line is replaced, a missing entry gets a line at the
// end of its table (or a new table at the end of the file), so comments,
// order and entries the game does not know stay as the player wrote them.
// The new text is checked by reading it again, written to a temporary file
// in the same folder, flushed to the disk and renamed over the old file.
// With no file yet the game's commented defaults (Settings::defaultText) are
// the text changed. A file that could not be read, at start or now, is never
// written.
class SettingsFile {
public:
    using Value = std::variant<bool, std::int64_t, std::string>;
    struct Change {
        std::string table;
        std::string key;
        Value value;
    };

    static constexpr std::size_t MAX_FILE_SIZE = 1 << 20;

    explicit SettingsFile(std::string path);
    // `$XDG_CONFIG_HOME/zarvik/settings.toml` (an absolute XDG_CONFIG_HOME
    // only), else `$HOME/.config/zarvik/settings.toml`; empty without either.
    static std::string defaultPath();

    const std::string& getPath() const { return path; }
    Settings load();
    // Lines for the console from the last load or save, without line breaks.
    const std::vector<std::string>& messages() const { return notes; }

    // Writes the changes into the file; false (with a message) when it is
    // left as it was.
    bool save(const std::vector<Change>& changes);

    // The text with one entry set to value as described above; nothing when
    // the text is no valid TOML or the entry cannot be set by editing it
    // (an inline table, say).
    static std::optional<std::string> edit(const std::string& text, const Change& change);

private:
    enum class Read { OK, MISSING, FAILED };
    Read readText(std::string& text);
    void note(const std::string& line) { notes.push_back(line); }

    std::string path;
    bool readFailed = false;  // at start: the file stays as it is for good
    std::vector<std::string> notes;
};
