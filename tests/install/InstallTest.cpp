// The game as a player gets it: installed with cmake --install into a prefix
// whose path holds a space, its data read-only, started from / with a data
// home of its own; and the Debian package made of the same files. The build
// the suite made is installed once for all of these tests.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <stb/stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "../e2e/GameSupport.h"

namespace fs = std::filesystem;
using namespace e2e;

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

struct Outcome {
    int code = -1;
    std::string output;  // standard output and error
};

// Seconds a game may take from its start to its end: the installed games
// here end by themselves (a short benchmark, or at once without data) in
// well under half of it under the sanitizers. A game started wrong (one that
// finds data it should not, or waits for a key) is stopped there and the
// test fails then, not at the suite's timeout.
constexpr double GAME_SECONDS = 60.0;
// The install and the package, which copy and pack some megabytes.
constexpr double TOOL_SECONDS = 300.0;

// Runs a shell command in a process group of its own; its exit code and
// everything it printed. A command still running after `seconds` is killed
// with everything it started, and its outcome says so (code -1).
Outcome run(const std::string& command, double seconds = TOOL_SECONDS) {
    Outcome result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return result;
    }
    if (child == 0) {
        setpgid(0, 0);
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(child, child);  // as the child does: whichever comes first
    close(fds[1]);
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    bool late = false;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) {
            late = true;
            break;
        }
        pollfd out = {fds[0], POLLIN, 0};
        if (poll(&out, 1, static_cast<int>(std::min<long long>(left, 1000))) < 0 && errno != EINTR) break;
        if (out.revents == 0) continue;
        const ssize_t n = read(fds[0], buffer, sizeof(buffer));
        if (n <= 0) break;  // the command and all it started have closed their output
        result.output.append(buffer, static_cast<size_t>(n));
    }
    if (late) kill(-child, SIGKILL);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (late) {
        result.output += "\n[killed after " + std::to_string(static_cast<int>(seconds)) + " s: " + command + "]\n";
        return result;
    }
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The game as the tests start it: from /, no sound card, records and
// screenshots in dataHome, leaks fail the run; stopped after GAME_SECONDS.
Outcome runGame(const std::string& exe, const std::string& args, const std::string& dataHome,
            const std::string& environment = "") {
    return run("cd / && exec env ASAN_OPTIONS=detect_leaks=1 ALSOFT_DRIVERS=none XDG_DATA_HOME=" + quoted(dataHome) +
                   " " + environment + " " + quoted(exe) + " " + args,
               GAME_SECONDS);
}

// Every file under folder (relative paths) with its size.
std::set<std::string> listing(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(fs::relative(entry.path(), folder).string() + " " + std::to_string(entry.file_size()));
    return files;
}

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

class InstalledGame : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "zarvik install XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        prefix = root / "first place" / "usr";
        const Outcome install = run(quoted(env("ZARVIK_CMAKE")) + " --install " + quoted(build()) + " --prefix " +
                                quoted(prefix.string()));
        ASSERT_EQ(install.code, 0) << install.output;
        // The manifest of this install: cpack writes its own over it.
        std::istringstream lines(read(build() + "/install_manifest.txt"));
        for (std::string line; std::getline(lines, line);) manifest.insert(line);
        ASSERT_EQ(run("chmod -R a-w " + quoted(data().string())).code, 0);
    }

    static void TearDownTestSuite() {
        if (root.empty()) return;
        run("chmod -R u+w " + quoted(root.string()));
        fs::remove_all(root);
    }

    static std::string build() { return env("ZARVIK_BUILD_DIR"); }
    static fs::path exe() { return prefix / "games" / "zarvik"; }
    static fs::path data() { return prefix / "share" / "games" / "zarvik"; }

    static fs::path root, prefix;
    static std::set<std::string> manifest;
};

fs::path InstalledGame::root, InstalledGame::prefix;
std::set<std::string> InstalledGame::manifest;

// The program, every data file the build made, the menu entry with its icons,
// the AppStream metadata, the manual page and the texts, all of the one version.
TEST_F(InstalledGame, InstallsEveryFileOfOneVersionInItsPlace) {
    ASSERT_FALSE(manifest.empty());
    const std::string version = env("ZARVIK_VERSION");
    ASSERT_FALSE(version.empty());
    for (const char* folder : {"audio", "images", "levels", "models", "terrain"})
        EXPECT_EQ(listing(data() / folder), listing(fs::path(GameProcess::gameDir()) / folder)) << folder;

    const fs::path share = prefix / "share";
    const std::string id = "org.zarvik.Zarvik";
    for (int size : {48, 128, 256}) {
        const std::string size_s = std::to_string(size);
        const fs::path icon = share / "icons/hicolor" / (size_s + "x" + size_s) / "apps" / (id + ".png");
        int w = 0, h = 0, channels = 0;
        EXPECT_TRUE(stbi_info(icon.c_str(), &w, &h, &channels)) << icon;
        EXPECT_EQ(w, size);
        EXPECT_EQ(h, size);
    }
    EXPECT_NE(read(share / "icons/hicolor/scalable/apps" / (id + ".svg")).find("<svg"), std::string::npos);

    const fs::path desktop = share / "applications" / (id + ".desktop");
    const fs::path metainfo = share / "metainfo" / (id + ".metainfo.xml");
    const Outcome desktopCheck = run("desktop-file-validate " + quoted(desktop.string()));
    EXPECT_EQ(desktopCheck.code, 0) << desktopCheck.output;
    EXPECT_EQ(desktopCheck.output, "");
    const Outcome metainfoCheck = run("appstreamcli validate --no-net " + quoted(metainfo.string()));
    EXPECT_EQ(metainfoCheck.code, 0) << metainfoCheck.output;
    const std::string meta = read(metainfo);
    EXPECT_NE(meta.find("<release version=\"" + version + "\" date=\""), std::string::npos) << meta;
    EXPECT_NE(meta.find("<li>F12: save the frame"), std::string::npos) << meta;

    const Outcome man = run("zcat " + quoted((share / "man/man6/zarvik.6.gz").string()));
    EXPECT_EQ(man.output.rfind(".TH ZARVIK 6 \"", 0), 0u) << man.output.substr(0, 80);
    EXPECT_NE(man.output.find("\"zarvik " + version + "\""), std::string::npos);
    const Outcome manCheck = run("zcat " + quoted((share / "man/man6/zarvik.6.gz").string()) + " | groff -man -ww -z");
    EXPECT_EQ(manCheck.code, 0);
    EXPECT_EQ(manCheck.output, "") << "groff's warnings on the manual page";
    const Outcome version_ = runGame(exe().string(), "--version", root.string());
    EXPECT_EQ(version_.code, 0);
    EXPECT_EQ(version_.output, "zarvik " + version + "\n");

    for (const char* text : {"README.md", "docs/performance.md", "copyright"})
        EXPECT_TRUE(fs::is_regular_file(share / "doc/zarvik" / text)) << text;
}

// Moved elsewhere, started from /, the installed game finds its data from
// its own folder, plays, and writes nothing into that data.
TEST_F(InstalledGame, PlaysFromAMovedTreeAndLeavesItsDataAlone) {
    const auto before = listing(data());
    const fs::path moved = root / "other place";
    fs::create_directories(moved);
    fs::rename(prefix, moved / "usr");
    prefix = moved / "usr";
    const Outcome game = runGame(exe().string(), "--benchmark 3 --window 320x240", (root / "home").string());
    EXPECT_EQ(game.code, 0) << game.output;
    EXPECT_NE(game.output.find("benchmark: "), std::string::npos) << game.output;
    EXPECT_EQ(listing(data()), before);
}

// The one end-to-end game of the installed program: F12 saves the frame
// into the data home's screenshot folder, made for it, and says where.
TEST_F(InstalledGame, F12SavesTheFrameIntoTheDataHome) {
    const fs::path home = root / "screenshot home";
    GameProcess game;
    game.setExecutable(exe().string());
    game.setDataHome(home.string());
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitFor("HAVE FUN! :)", 120.0)) << game.output();
    ASSERT_TRUE(game.key("F12"));
    ASSERT_TRUE(game.waitFor("saved the screenshot", 30.0)) << game.output();
    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();

    const fs::path folder = home / "zarvik" / "screenshots";
    ASSERT_TRUE(fs::is_directory(folder));
    std::vector<fs::path> shots(fs::directory_iterator(folder), fs::directory_iterator{});
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_TRUE(std::regex_match(shots[0].filename().string(), std::regex(R"(zarvik-\d{8}-\d{6}\.png)")));
    EXPECT_NE(game.output().find("saved the screenshot " + shots[0].string()), std::string::npos);
    int w = 0, h = 0, channels = 0;
    EXPECT_TRUE(stbi_info(shots[0].c_str(), &w, &h, &channels));
    EXPECT_EQ(w, WW);
    EXPECT_EQ(h, WH);
}

// Every way of finding no data ends at once with one line that names each
// place the game looked in, and exit code 1.
TEST_F(InstalledGame, WithoutDataNamesEveryPlaceItLookedInAndExits1) {
    const fs::path empty = root / "empty folder", alone = root / "program alone";
    fs::create_directories(empty);
    fs::create_directories(alone);
    fs::copy_file(exe(), alone / "zarvik");
    const std::string home = (root / "home").string();
    const fs::path away = data().string() + ".away";
    struct Case {
        std::string exe, args, environment;
        std::vector<std::string> places;
    };
    const std::vector<Case> cases = {
        {exe(), "--data " + quoted(empty.string()), "", {empty.string() + " (--data)"}},
        {exe(), "--data " + quoted((root / "nowhere").string()), "ZARVIK_DATA=" + quoted(data().string()),
         {(root / "nowhere").string() + " (--data)"}},
        {exe(), "", "ZARVIK_DATA=" + quoted(empty.string()), {empty.string() + " (\\$ZARVIK_DATA)"}},
        {alone / "zarvik", "", "",
         {alone.string() + " (beside the program)", (root / "share/games/zarvik").string() + " (installed)"}},
    };
    for (const Case& c : cases) {
        const Outcome game = runGame(c.exe, c.args, home, c.environment);
        EXPECT_EQ(game.code, 1) << c.args << c.environment << game.output;
        EXPECT_NE(game.output.find("zarvik: no game data (the folders audio, images, models and terrain) in "),
                  std::string::npos)
            << game.output;
        for (std::string place : c.places) {
            place.erase(std::remove(place.begin(), place.end(), '\\'), place.end());
            EXPECT_NE(game.output.find(place), std::string::npos) << place << "\n" << game.output;
        }
    }
    // The installed tree without its data folder.
    fs::rename(data(), away);
    const Outcome game = runGame(exe().string(), "", home);
    fs::rename(away, data());
    EXPECT_EQ(game.code, 1) << game.output;
    EXPECT_NE(game.output.find(data().string() + " (installed)"), std::string::npos) << game.output;
    EXPECT_NE(game.output.find((prefix / "games").string() + " (beside the program)"), std::string::npos);
}

// cpack -G DEB packs exactly the files cmake --install installs, under /usr,
// in the section games, with the dependencies the program's libraries need.
TEST_F(InstalledGame, TheDebianPackageHoldsTheInstalledFiles) {
    const std::string version = env("ZARVIK_VERSION");
    const fs::path out = root / "package";
    const Outcome pack = run(quoted(env("ZARVIK_CPACK")) + " -G DEB --config " + quoted(build() + "/CPackConfig.cmake") +
                         " -B " + quoted(out.string()));
    ASSERT_EQ(pack.code, 0) << pack.output;
    const fs::path deb = out / ("zarvik_" + version + "_amd64.deb");
    ASSERT_TRUE(fs::is_regular_file(deb)) << pack.output;

    // dpkg-deb -c: "-rw-r--r-- root/root 1234 2026-12-08 01:02 ./usr/games/zarvik"
    std::set<std::string> packed;
    std::istringstream lines(run("dpkg-deb -c " + quoted(deb.string())).output);
    for (std::string line; std::getline(lines, line);) {
        const size_t path = line.find(" ./");
        if (!line.empty() && line[0] != 'd' && path != std::string::npos) packed.insert(line.substr(path + 2));
    }
    const std::string installedPrefix = (root / "first place" / "usr").string();
    std::set<std::string> installed;
    for (const std::string& file : manifest) {
        ASSERT_EQ(file.rfind(installedPrefix, 0), 0u) << file;
        installed.insert("/usr" + file.substr(installedPrefix.size()));
    }
    EXPECT_EQ(packed, installed);

    auto field = [&](const std::string& name) {
        Outcome r = run("dpkg-deb -f " + quoted(deb.string()) + " " + name);
        while (!r.output.empty() && r.output.back() == '\n') r.output.pop_back();
        return r.output;
    };
    EXPECT_EQ(field("Package"), "zarvik");
    EXPECT_EQ(field("Version"), version);
    EXPECT_EQ(field("Section"), "games");
    EXPECT_EQ(field("Architecture"), "amd64");
    for (const char* library : {"libc6", "libglut3.12", "libglew2.2", "libopenal1", "libmpg123-0", "libdevil1c2"})
        EXPECT_NE(field("Depends").find(library), std::string::npos) << library << " in " << field("Depends");
    EXPECT_GT(field("Description").size(), 400u);
}
