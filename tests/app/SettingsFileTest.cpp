#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "support/SaveChecks.h"

namespace {

namespace fs = std::filesystem;

// A settings file in a fresh folder of its own, removed afterwards.
class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zarvik-settings-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        folder = pattern;
        path = folder + "/zarvik/settings.toml";
    }
    void TearDown() override { fs::remove_all(folder); }

    void write(const std::string& text) const {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string read() const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Every file in the settings folder: a save leaves no temporary file behind.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
    Settings load(SettingsFile& file, std::vector<std::string>& notes) const {
        Settings s = file.load();
        notes = file.messages();
        return s;
    }

    std::string folder, path;
};

const SettingsFile::Change music60{"sound", "music", std::int64_t{60}};

}  // namespace

TEST_F(SettingsFileTest, ReadsEveryEntryAndGivesDefaultsForBadOnesWithALineEach) {
    write("# mine\n"
          "[window]\n"
          "width = 1024\n"
          "height = 0\n"                 // out of range
          "x = 5\ny = -20\n"
          "full_screen = \"yes\"\n"     // wrong type
          "multisampling = false\n"
          "detail_savings = false\n"
          "colour = \"red\"\n"          // unknown entry
          "[sound]\nmusic = 60\neffects = 100.0\nmute = true\n"
          "[keys]\ndrive_up = \"i\"\ndrive_left = \"joystick\"\nscreenshot = \"F5\"\nsteer = \"q\"\n"
          "[gamepad]\ndead_zone = 95\n");
    SettingsFile file(path);
    std::vector<std::string> notes;
    const Settings s = load(file, notes);
    EXPECT_EQ(s.windowWidth, 1024);
    EXPECT_EQ(s.windowHeight, 600);
    EXPECT_EQ(s.windowX, 5);
    EXPECT_EQ(s.windowY, -20);
    EXPECT_FALSE(s.fullScreen);
    EXPECT_FALSE(s.multisampling);
    EXPECT_FALSE(s.detailSavings);
    EXPECT_EQ(s.musicVolume, 60);
    EXPECT_EQ(s.effectsVolume, 100);
    EXPECT_TRUE(s.mute);
    EXPECT_EQ(s.keys.keyOf(PlayerAction::DriveUp), (Key{false, 'i'}));
    EXPECT_EQ(s.keys.keyOf(PlayerAction::ArrowUp), (Key{false, 'i'}));
    EXPECT_EQ(s.keys.keyOf(PlayerAction::DriveLeft), (Key{false, 'a'}));
    EXPECT_EQ(s.keys.keyOf(PlayerAction::Screenshot), (Key{true, 12}));
    EXPECT_DOUBLE_EQ(s.padDeadZone(), 0.25);
    const std::string p = path + ":";
    EXPECT_EQ(notes, (std::vector<std::string>{
                         p + "4: height = 0 is not within 1 and 16384, using 600",
                         p + "13: effects = 100.0 is not a whole number, using 100",
                         p + "21: dead_zone = 95 is not within 0 and 90, using 25",
                         p + "7: full_screen = 'yes' is neither true nor false, using false",
                         p + "18: key \"F5\" of screenshot is kept for its own use, using \"F12\"",
                         p + "17: drive_left = 'joystick' is no key name, using \"a\"",
                         p + "19: unknown entry keys.steer, left as it is",
                         p + "10: unknown entry window.colour, left as it is",
                     }));
}

// The world's resolution is "auto" or "full"; its target a time in ms from 1
// to 1000, whole or not. Anything else is named with the default used.
TEST_F(SettingsFileTest, ResolutionAndTargetTimeTakeOnlySensibleValues) {
    write("[window]\nresolution = \"full\"\ntarget_ms = 25\n[game]\ndifficulty = \"hard\"\n");
    SettingsFile good(path);
    std::vector<std::string> notes;
    Settings s = load(good, notes);
    EXPECT_EQ(s.difficulty, "hard");
    EXPECT_EQ(s.resolution, "full");
    EXPECT_DOUBLE_EQ(s.targetMs, 25.0);
    EXPECT_TRUE(notes.empty());

    struct Case {
        const char* resolution;
        const char* target;
        std::string notes;
    };
    const std::vector<Case> cases = {
        {"\"half\"", "0", "resolution = 'half' is neither \"auto\" nor \"full\", using \"auto\"|"
                           "target_ms = 0 is not within 1 and 1000, using 16.7|"},
        {"3", "-4.5", "resolution = 3 is neither \"auto\" nor \"full\", using \"auto\"|"
                      "target_ms = -4.5 is not within 1 and 1000, using 16.7|"},
        {"\"auto\"", "nan", "target_ms = nan is not within 1 and 1000, using 16.7|"},
        {"\"auto\"", "1e9", "target_ms = 1000000000.0 is not within 1 and 1000, using 16.7|"},
        {"\"auto\"", "inf", "target_ms = inf is not within 1 and 1000, using 16.7|"},
        {"\"auto\"", "\"fast\"", "target_ms = 'fast' is not a number, using 16.7|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        write(std::string("[window]\nresolution = ") + c.resolution + "\ntarget_ms = " + c.target + "\n");
        SettingsFile file(path);
        s = load(file, notes);
        EXPECT_EQ(s.resolution, "auto");
        EXPECT_DOUBLE_EQ(s.targetMs, 16.7);
        std::string joined;
        for (const std::string& note : notes) joined += note.substr(note.find(": ") + 2) + "|";
        EXPECT_EQ(joined, c.notes);
    }

    for (const char* bad : {"\"medium\"", "2"}) {
        write(std::string("[game]\ndifficulty = ") + bad + "\n");
        SettingsFile file(path);
        s = load(file, notes);
        EXPECT_EQ(s.difficulty, "normal") << bad;
        ASSERT_EQ(notes.size(), 1u) << bad;
        EXPECT_NE(notes[0].find("is none of easy, normal, hard, using \"normal\""), std::string::npos) << notes[0];
    }
}

// Whatever is wrong with the file as a whole, the game starts with the
// defaults after one line; a file it could not read it never writes.
TEST_F(SettingsFileTest, ABrokenFileGivesTheDefaultsAndIsNeverOverwritten) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string note;  // the line, after the path
    };
    const std::string binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const std::vector<Case> cases = {
        {"truncated", "[sound]\nmusic = 60\n[keys]\ndrive_up = \"i", ":4: "},
        {"binary", binary, ":1: "},
        {"a table twice", "[sound]\n[sound]\n", ":2: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write(c.bytes);
        SettingsFile file(path);
        std::vector<std::string> notes;
        const Settings s = load(file, notes);
        EXPECT_EQ(s.musicVolume, 100);
        EXPECT_EQ(s.keys.keyOf(PlayerAction::DriveUp), (Key{false, 'w'}));
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].rfind(path + c.note, 0), 0u) << notes[0];
        EXPECT_NE(notes[0].find("using the defaults and leaving the file alone"), std::string::npos) << notes[0];
        EXPECT_FALSE(file.save({music60}));
        EXPECT_EQ(read(), c.bytes);
    }

    // Missing and empty: the defaults, a line, and a file the game may write.
    fs::remove_all(fs::path(path).parent_path());
    SettingsFile missing(path);
    std::vector<std::string> notes;
    load(missing, notes);
    EXPECT_EQ(notes, std::vector<std::string>{"no settings file " + path + " yet, using the defaults"});
    write(" \n\n");
    SettingsFile empty(path);
    load(empty, notes);
    EXPECT_EQ(notes, std::vector<std::string>{path + " is empty, using the defaults"});

    // Unreadable: a folder where the file should be (as root too).
    fs::remove(path);
    fs::create_directories(path);
    SettingsFile folderFile(path);
    load(folderFile, notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "cannot read " + path + " (not a file), using the defaults and leaving the file alone");
    EXPECT_FALSE(folderFile.save({music60}));
    EXPECT_TRUE(fs::is_directory(path));
}

// A change replaces the value of its own line and nothing else: comments,
// order, spacing and unknown entries stay; a missing entry gets a line at
// the end of its table; a missing table comes at the end.
TEST_F(SettingsFileTest, SavingChangesOnlyTheEntriesChanged) {
    const std::string before =
        "# my settings\n"
        "[sound]   # loud!\n"
        "effects = 80\n"
        "music   =   30    # quiet, \"#\" inside\n"
        "balance = 'left'  # mine\n"
        "\n"
        "# keys next\n"
        "[keys]\n"
        "pause = \"#\"\n";
    write(before);
    SettingsFile file(path);
    std::vector<std::string> notes;
    ASSERT_EQ(load(file, notes).keys.keyOf(PlayerAction::Pause), (Key{false, '#'}));
    ASSERT_TRUE(file.save({music60, {"sound", "mute", true}, {"window", "full_screen", true},
                           {"keys", "pause", std::string("\"")}}))
        << file.messages()[0];
    EXPECT_EQ(read(),
              "# my settings\n"
              "[sound]   # loud!\n"
              "effects = 80\n"
              "music   =   60    # quiet, \"#\" inside\n"
              "balance = 'left'  # mine\n"
              "mute = true\n"
              "\n"
              "# keys next\n"
              "[keys]\n"
              "pause = '\"'\n"
              "\n"
              "[window]\n"
              "full_screen = true\n");
    EXPECT_EQ(files(), std::vector<std::string>{"settings.toml"});
    const Settings s = load(file, notes);
    EXPECT_EQ(s.musicVolume, 60);
    EXPECT_TRUE(s.fullScreen);
    EXPECT_EQ(s.keys.keyOf(PlayerAction::Pause), (Key{false, '"'}));

    // The last line without a line break of its own.
    write("[sound]\nmusic = 30");
    EXPECT_TRUE(file.save({{"sound", "mute", true}}));
    EXPECT_EQ(read(), "[sound]\nmusic = 30\nmute = true\n");

    // An inline table takes a new value in place, but no new entry: the file stays.
    write("sound = { music = 30 }\n");
    EXPECT_TRUE(file.save({music60}));
    EXPECT_EQ(read(), "sound = { music = 60 }\n");
    EXPECT_FALSE(file.save({{"sound", "mute", true}}));
    EXPECT_EQ(read(), "sound = { music = 60 }\n");
    // Nor does a file that broke since the start.
    write("[sound\n");
    EXPECT_FALSE(file.save({music60}));
    EXPECT_EQ(read(), "[sound\n");
}

// No file: nothing is written until the first change, then the commented
// defaults with that change. A file where the folder should be makes the
// save fail with a message (also as root).
TEST_F(SettingsFileTest, TheFirstSaveWritesTheCommentedDefaults) {
    SettingsFile file(path);
    std::vector<std::string> notes;
    const Settings before = load(file, notes);
    EXPECT_FALSE(fs::exists(path));
    ASSERT_TRUE(file.save({music60}));
    std::string expected = Settings::defaultText();
    const std::string line = "music = 100";
    expected.replace(expected.find(line), line.size(), "music = 60");
    EXPECT_EQ(read(), expected);
    const Settings after = load(file, notes);
    EXPECT_TRUE(notes.empty()) << notes[0];
    EXPECT_EQ(after.musicVolume, 60);
    for (const auto& action : KeyBindings::actions())
        EXPECT_EQ(after.keys.keyOf(action.action), before.keys.keyOf(action.action)) << action.name;
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    SettingsFile blocked(folder + "/plain/settings.toml");
    std::ofstream(folder + "/plain") << "a file, not a folder";
    load(blocked, notes);
    EXPECT_FALSE(blocked.save({music60}));
    ASSERT_EQ(blocked.messages().size(), 1u);
    EXPECT_EQ(blocked.messages()[0].rfind("cannot write " + folder + "/plain/settings.toml (", 0), 0u)
        << blocked.messages()[0];
}

// A save replaces the file by rename: a link to the old file keeps the old
// settings. A write cut off on the way (the file size limit, as a full disk
// would) fails and leaves the old file whole, and no stray file.
TEST_F(SettingsFileTest, ASaveReplacesTheFileWholeOrNotAtAll) {
    write("[sound]\nmusic = 30\n");
    SettingsFile file(path);
    std::vector<std::string> notes;
    load(file, notes);
    EXPECT_TRUE(SaveChecks::replacesTheFile(path, [&] { return file.save({music60}); }));
    EXPECT_EQ(read(), "[sound]\nmusic = 60\n");
    // "[sound]\nmusic = 60\nmute = true\n" is 31 bytes; the write stops at 10.
    EXPECT_TRUE(SaveChecks::aCutOffSaveLeavesTheOldFile(path, 10, [&] { return file.save({{"sound", "mute", true}}); }));
    EXPECT_EQ(read(), "[sound]\nmusic = 60\n");
    EXPECT_EQ(files(), std::vector<std::string>{"settings.toml"});
}

TEST(SettingsPath, FollowsXdgConfigHomeElseHome) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = config ? config : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(SettingsFile::defaultPath(), "/cfg/zarvik/settings.toml");
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored, as the XDG rules say
    setenv("HOME", "/home/p", 1);
    EXPECT_EQ(SettingsFile::defaultPath(), "/home/p/.config/zarvik/settings.toml");
    setenv("HOME", home.c_str(), 1);
    if (config) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}
