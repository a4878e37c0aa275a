// The folders of src/ include each other only downwards, in the order the
// README states, apart from the ties the README names. The README is read as
// it stands, so the order a newcomer reads is the order that is enforced.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path sourceDir() {
    const char* dir = std::getenv("ZARVIK_SOURCE_DIR");
    return dir ? fs::path(dir) : fs::path("..");
}

struct Layout {
    std::map<std::string, int> level;                     // folder -> its place in the order
    std::set<std::pair<std::string, std::string>> ties;  // (source file, folder it may include)
};

// The order is the indented line of folders joined by "<" (folders on one
// level separated by commas); the ties are the indented lines
// "src/<folder>/<file>  <folder>  why".
Layout readLayout(const std::string& readme) {
    Layout layout;
    std::istringstream in(readme);
    const std::regex tie(R"(^    (src/[A-Za-z]+/[A-Za-z0-9_]+\.(?:cpp|h))\s+([a-z]+)\s+\S.*$)");
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (line.rfind("    math", 0) == 0 && line.find('<') != std::string::npos) {
            std::istringstream levels(line);
            std::string group;
            int n = 0;
            while (std::getline(levels, group, '<')) {
                std::istringstream names(group);
                std::string name;
                while (std::getline(names, name, ',')) {
                    name.erase(std::remove_if(name.begin(), name.end(), ::isspace), name.end());
                    layout.level[name] = n;
                }
                ++n;
            }
        } else if (std::regex_match(line, m, tie)) {
            layout.ties.insert({m[1], m[2]});
        }
    }
    return layout;
}

struct Include {
    std::string file, folder, line;
};

// The folder of an include line's header ("folder/Header.h"), or "".
std::string includedFolder(const std::string& line) {
    const size_t hash = line.find_first_not_of(" \t");
    if (hash == std::string::npos || line[hash] != '#' || line.find("include", hash) == std::string::npos) return "";
    const size_t open = line.find('"'), slash = line.find('/', open + 1), close = line.find('"', open + 1);
    if (open == std::string::npos || slash == std::string::npos || close == std::string::npos || slash > close) return "";
    return line.substr(open + 1, slash - open - 1);
}

// Every include of a header in another folder of src/.
std::vector<Include> includesAcrossFolders(const fs::path& src) {
    std::vector<Include> out;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const fs::path inSrc = entry.path().lexically_relative(src);
        const std::string file = "src/" + inSrc.generic_string(), own = inSrc.begin()->string();
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            const std::string folder = includedFolder(line);
            if (!folder.empty() && folder != own) out.push_back({file, folder, file + ":" + std::to_string(n) + ": " + line});
        }
    }
    return out;
}

std::string folderOf(const std::string& file) { return file.substr(4, file.find('/', 4) - 4); }

TEST(IncludeOrder, NoFolderIncludesAHigherOneButTheNamedTies) {
    std::ifstream readme(sourceDir() / "README.md");
    ASSERT_TRUE(readme) << "README.md not found under " << sourceDir();
    const Layout layout = readLayout(std::string(std::istreambuf_iterator<char>(readme), {}));
    ASSERT_GE(layout.level.size(), 12u) << "the README's order line was not found";
    ASSERT_FALSE(layout.ties.empty()) << "the README's list of ties was not found";

    std::set<std::pair<std::string, std::string>> used;
    for (const Include& inc : includesAcrossFolders(sourceDir() / "src")) {
        const auto from = layout.level.find(folderOf(inc.file)), to = layout.level.find(inc.folder);
        ASSERT_NE(from, layout.level.end()) << folderOf(inc.file) << " is missing from the README's order";
        ASSERT_NE(to, layout.level.end()) << inc.folder << " is missing from the README's order";
        if (to->second <= from->second) continue;
        if (layout.ties.count({inc.file, inc.folder})) used.insert({inc.file, inc.folder});
        else ADD_FAILURE() << "includes a higher folder: " << inc.line;
    }
    for (const auto& tie : layout.ties)
        EXPECT_TRUE(used.count(tie)) << "the README names a tie that is gone: " << tie.first << " " << tie.second;
}

// The reader itself: a tie line, an order line, and what they allow.
TEST(IncludeOrder, ReadsTheOrderAndTheTiesOfAReadme) {
    const Layout layout = readLayout(
        "Which folder:\n\n    math, gl  <  scenegraph  <  app\n\n"
        "    src/scenegraph/Node.cpp  app  a node opens a window\n"
        "  src/scenegraph/Other.cpp  app  not indented as a tie\n");
    EXPECT_EQ(layout.level.at("math"), 0);
    EXPECT_EQ(layout.level.at("gl"), 0);
    EXPECT_EQ(layout.level.at("scenegraph"), 1);
    EXPECT_EQ(layout.level.at("app"), 2);
    EXPECT_EQ(layout.ties, (std::set<std::pair<std::string, std::string>>{{"src/scenegraph/Node.cpp", "app"}}));
    EXPECT_EQ(includedFolder("#include \"physics/newton.h\""), "physics");
    EXPECT_EQ(includedFolder("  #  include \"app/Renderer.h\"  // why"), "app");
    EXPECT_EQ(includedFolder("#include <GL/glew.h>"), "");
    EXPECT_EQ(includedFolder("#include \"Local.h\""), "");
    EXPECT_EQ(includedFolder("// see \"physics/newton.h\""), "");
}

}  // namespace
