#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/KeyTable.h"
#include "app/ManualPage.h"
#include "app/Settings.h"

namespace {
std::optional<Options> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string message;
    auto options = parseCommandLine(args, message);
    if (error) *error = message;
    return options;
}
}  // namespace

TEST(CommandLine, ReadsEveryOptionAndImpliesTheFixedStep) {
    auto none = parse({});
    ASSERT_TRUE(none);
    EXPECT_EQ(none->windowWidth, 800);
    EXPECT_FALSE(none->fixedStep || none->autoplay || none->benchmark || none->seed);

    auto all = parse({"--window", "1024x768", "--seed", "7", "--benchmark", "30", "--benchmark-csv", "f.csv",
                      "--benchmark-capture", "f.cap", "--benchmark-phases", "--benchmark-overdraw", "1280x1024:32"});
    ASSERT_TRUE(all);
    EXPECT_EQ(all->windowWidth, 1024);
    EXPECT_EQ(all->windowHeight, 768);
    EXPECT_EQ(all->seed, 7u);
    EXPECT_TRUE(all->benchmark);
    EXPECT_EQ(all->benchmarkSeconds, 30.0);
    EXPECT_EQ(all->benchmarkCsv, "f.csv");
    EXPECT_EQ(all->benchmarkCapture, "f.cap");
    EXPECT_TRUE(all->benchmarkPhases && all->benchmarkOverdraw);
    EXPECT_FALSE(none->benchmarkPhases || none->benchmarkOverdraw) << "the default benchmark neither waits nor counts";
    EXPECT_EQ(all->gameMode, "1280x1024:32");
    EXPECT_TRUE(all->fixedStep) << "a benchmark runs on the fixed step";

    auto play = parse({"--autoplay", "--benchmark"});  // the seconds are optional
    ASSERT_TRUE(play);
    EXPECT_TRUE(play->autoplay && play->fixedStep);
    EXPECT_EQ(play->benchmarkSeconds, 60.0);
    EXPECT_TRUE(parse({"--fixed-step"})->fixedStep);
    EXPECT_TRUE(parse({})->multisampling);
    EXPECT_FALSE(parse({"--no-multisampling"})->multisampling);
    EXPECT_FALSE(parse({"--no-detail-texture"})->detailTexture);
    EXPECT_TRUE(parse({})->detailTexture);
    auto ghosts = parse({"--autoplay", "--ghost", "g1", "--record-ghost", "g2", "--no-ghost"});
    ASSERT_TRUE(ghosts);
    EXPECT_EQ(ghosts->ghostFile, "g1");
    EXPECT_EQ(ghosts->recordGhost, "g2");
    EXPECT_FALSE(ghosts->ghost);
    EXPECT_TRUE(parse({})->ghost);
    EXPECT_EQ(parse({"--benchmark", "--benchmark-alternate", "minimap"})->benchmarkAlternate, "minimap");
    EXPECT_TRUE(parse({})->benchmarkAlternate.empty());
    EXPECT_TRUE(parse({"--help"})->help);
    EXPECT_TRUE(parse({"--version"})->version);
    EXPECT_EQ(parse({"--data", "my data"})->dataFolder, "my data");
    const auto resolution = parse({"--resolution", "full", "--target-ms", "12.5"});
    EXPECT_EQ(resolution->resolution, "full");
    EXPECT_DOUBLE_EQ(*resolution->targetMs, 12.5);
    EXPECT_TRUE(parse({})->resolution.empty());  // the settings file's
    EXPECT_EQ(parse({"--difficulty", "easy"})->difficulty, "easy");
    EXPECT_TRUE(parse({})->difficulty.empty());  // the settings file's
    EXPECT_FALSE(parse({})->targetMs);
}

TEST(CommandLine, ABadOptionOrValueSaysWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"--seed"}, "--seed needs a number"},
        {{"--seed", "x"}, "--seed wants a whole number"},
        {{"--seed", "-1"}, "--seed needs a number"},  // an option-like value is no value
        {{"--seed", "1.5"}, "--seed wants a whole number"},
        {{"--window", "800"}, "--window wants a size"},
        {{"--window", "0x600"}, "--window wants a size"},
        {{"--benchmark", "0"}, "--benchmark wants between"},
        {{"--benchmark-csv"}, "--benchmark-csv needs a file name"},
        {{"--ghost"}, "--ghost needs a file name"},
        {{"--record-ghost", "--autoplay"}, "--record-ghost needs a file name"},
        {{"--benchmark-capture", "--seed", "1"}, "--benchmark-capture needs a file name"},
        {{"640x480:16", "800x600:32"}, "one game mode only"},
        {{"--data"}, "--data needs a folder"},
        {{"--benchmark-alternate", "sky"}, "--benchmark-alternate wants ghost or minimap, not sky"},
        {{"--resolution", "half"}, "--resolution wants auto or full, not half"},
        {{"--resolution"}, "--resolution needs auto or full"},
        {{"--difficulty", "Easy"}, "--difficulty wants one of easy, normal, hard, not Easy"},
        {{"--target-ms", "0"}, "--target-ms wants between 1 and 1000 ms, not 0"},
        {{"--target-ms", "nan"}, "--target-ms wants between 1 and 1000 ms, not nan"},
        {{"--target-ms", "1e6"}, "--target-ms wants between 1 and 1000 ms, not 1e6"},
        {{"--target-ms", "-5"}, "--target-ms needs a time in ms"},
    };
    for (const auto& [args, expected] : bad) {
        std::string error;
        EXPECT_FALSE(parse(args, &error)) << args[0];
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

// The keys come from the key table (KeyTableTest); GLUT's own options are
// named too, as GLUT reads them before the game does.
TEST(CommandLine, HelpNamesEveryOptionAndGlutsOwn) {
    const std::string help = helpText();
    for (const char* word : {"--window", "--autoplay", "--benchmark", "--benchmark-csv", "--benchmark-capture",
                             "--benchmark-phases", "--benchmark-overdraw", "--benchmark-alternate", "--fixed-step", "--seed", "--no-multisampling", "--resolution MODE", "--target-ms MS", "--no-detail-texture", "--data DIR", "--ghost FILE", "--record-ghost FILE", "--no-ghost", "--help", "--version", "-display DISPLAY",
                             "-geometry WxH+X+Y", "-direct", "-indirect", "-iconic", "-gldebug", "-sync"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}

// The manual page is made from the same tables as --help: every option, each
// of GLUT's and every key with its effect, as roff shows them literally.
TEST(CommandLine, TheManualPageListsEveryOptionAndKey) {
    const std::string page = ManualPage::roff("1.2", "2026-12-08");
    EXPECT_EQ(page.rfind(".TH ZARVIK 6 \"2026-12-08\" \"zarvik 1.2\" \"Games\"\n", 0), 0u);
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& row : optionRows()) rows.emplace_back(row.option, row.effect);
    for (const auto& row : glutOptionRows()) rows.emplace_back(row.option, row.effect);
    for (const auto& row : KeyTable::rows()) rows.emplace_back(row.input, row.effect);
    for (const auto& [input, effect] : rows)
        EXPECT_NE(page.find(".TP\n.B " + ManualPage::escape(input) + "\n" + ManualPage::escape(effect) + "\n"),
                  std::string::npos)
            << input;
    EXPECT_NE(page.find(".B \\-\\-data DIR\n"), std::string::npos);
    EXPECT_EQ(ManualPage::escape("a\\b-c"), "a\\eb\\-c");
    EXPECT_EQ(ManualPage::escape(".start 'quoted'"), "\\&.start 'quoted'");
    EXPECT_EQ(ManualPage::escape("'start"), "\\&'start");
}

// --help and README.md name the settings file and every entry the game
// reads from it (the entries of the file the game writes first).
TEST(CommandLine, HelpAndReadmeNameTheSettingsFileAndEveryEntry) {
    const char* source = std::getenv("ZARVIK_SOURCE_DIR");
    ASSERT_TRUE(source) << "ZARVIK_SOURCE_DIR names the source folder";
    std::ifstream file(std::string(source) + "/README.md");
    const std::string readme((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string help = helpText();
    std::istringstream defaults(Settings::defaultText());
    int entries = 0;
    for (std::string line; std::getline(defaults, line);) {
        if (line.rfind("# ", 0) == 0) line.erase(0, 2);  // the arrows' entries wait commented out
        const std::size_t equals = line.find(" = ");
        if (line.empty() || line[0] == '#' || line[0] == '[' || equals == std::string::npos) continue;
        const std::string entry = line.substr(0, equals);
        EXPECT_NE(help.find(entry), std::string::npos) << entry;
        EXPECT_NE(readme.find("`" + entry + "`"), std::string::npos) << entry;
        ++entries;
    }
    EXPECT_EQ(entries, 12 + 1 + 3 + 2 + ACTION_COUNT);  // window and sound, the dead zone, the view, the game, the keys
    for (const char* name : {"$XDG_CONFIG_HOME/zarvik/settings.toml", "~/.config/zarvik/settings.toml"}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
        EXPECT_NE(readme.find(name), std::string::npos) << name;
    }
}
