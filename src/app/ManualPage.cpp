#include "app/ManualPage.h"

#include "app/CommandLine.h"
#include "app/KeyTable.h"

namespace {

// A tagged paragraph for each row: the option or key in bold, its effect below.
template <typename Rows, typename Term>
std::string taggedList(const Rows& rows, Term term) {
    std::string out;
    for (const auto& row : rows) out += ".TP\n.B " + ManualPage::escape(term(row).first) + "\n" +
                                        ManualPage::escape(term(row).second) + "\n";
    return out;
}

const char* const DESCRIPTION =
    ".SH DESCRIPTION\n"
    "A small 3D driving game. The player drives a car over a hilly landscape, dismantles the "
    "four town signs of the level by typing the rows of arrows they show with w, a, s and d, "
    "picks up items with timed effects, escapes the pursuer cars that chase it once they see it, "
    "and races a stopwatch back to the start area. The best race time is kept.\n"
    ".PP\n"
    "Debug keys switch rendering paths and show bounding volumes, trigger spheres and physics shapes.\n";

const char* const FILES =
    ".SH FILES\n"
    ".TP\n"
    ".I $XDG_DATA_HOME/zarvik/records\n"
    "the best race time (without XDG_DATA_HOME: ~/.local/share/zarvik/records)\n"
    ".TP\n"
    ".I $XDG_DATA_HOME/zarvik/screenshots/\n"
    "the pictures saved with F12 (without XDG_DATA_HOME: ~/.local/share/zarvik/screenshots/)\n"
    ".SH ENVIRONMENT\n"
    ".TP\n"
    ".B ZARVIK_DATA\n"
    "the folder of the game's data (the folders audio, images, models and terrain), when --data names "
    "none. Without either the game looks beside its program, then in the data folder of its installation "
    "(share/games/zarvik beside the games folder that holds the program). Without data it names every "
    "place it looked in and exits 1.\n"
    ".TP\n"
    ".B XDG_DATA_HOME\n"
    "where the best time and the screenshots are kept; the data folder is never written to.\n"
    ".SH EXIT STATUS\n"
    "0 when the game ends normally or the automatic play is won, 1 without game data, 2 on a bad option, "
    "3 when the automatic play is caught.\n";

}  // namespace

std::string ManualPage::escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

std::string ManualPage::roff(const std::string& version, const std::string& date) {
    auto option = [](const OptionRow& row) { return std::make_pair(row.option, row.effect); };
    auto key = [](const KeyRow& row) { return std::make_pair(row.input, row.effect); };
    return ".TH ZARVIK 6 \"" + date + "\" \"zarvik " + version + "\" \"Games\"\n" +
           ".SH NAME\n"
           "zarvik \\- a small 3D driving game: take the town signs down, escape the pursuers\n"
           ".SH SYNOPSIS\n"
           ".B zarvik\n"
           "[GLUT options] [options] [GAMEMODE]\n" +
           DESCRIPTION + ".SH OPTIONS\n" + taggedList(optionRows(), option) +
           ".SS GLUT's options\n"
           "GLUT takes them out of the command line before the game reads it.\n" +
           taggedList(glutOptionRows(), option) + ".SH KEYS AND MOUSE\n" + taggedList(KeyTable::rows(), key) +
           FILES;
}
