#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

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
                      "--benchmark-capture", "f.cap", "1280x1024:32"});
    ASSERT_TRUE(all);
    EXPECT_EQ(all->windowWidth, 1024);
    EXPECT_EQ(all->windowHeight, 768);
    EXPECT_EQ(all->seed, 7u);
    EXPECT_TRUE(all->benchmark);
    EXPECT_EQ(all->benchmarkSeconds, 30.0);
    EXPECT_EQ(all->benchmarkCsv, "f.csv");
    EXPECT_EQ(all->benchmarkCapture, "f.cap");
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
    EXPECT_TRUE(parse({"--help"})->help);
    EXPECT_TRUE(parse({"--version"})->version);
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
                             "--fixed-step", "--seed", "--no-multisampling", "--no-detail-texture", "--ghost FILE", "--record-ghost FILE", "--no-ghost", "--help", "--version", "-display DISPLAY",
                             "-geometry WxH+X+Y", "-direct", "-indirect", "-iconic", "-gldebug", "-sync"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}
