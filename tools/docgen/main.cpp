// docgen: writes the documents an installed game carries that list its
// options and keys, from the game's own tables.
//
//   docgen manpage OUT VERSION DATE      the manual page zarvik(6)
//   docgen metainfo TEMPLATE OUT         the AppStream metainfo: the line
//                                        "<!-- keys -->" of TEMPLATE becomes
//                                        the list of keys
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/KeyTable.h"
#include "app/ManualPage.h"

namespace {

std::string xml(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

std::string keyList(const std::string& indent) {
    std::string out = indent + "<ul>\n";
    for (const KeyRow& row : KeyTable::rows())
        out += indent + "  <li>" + xml(row.input) + ": " + xml(row.effect) + "</li>\n";
    return out + indent + "</ul>\n";
}

bool read(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return bool(in);
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "manpage" && argc == 5) {
        if (write(argv[2], ManualPage::roff(argv[3], argv[4]))) return 0;
        std::fprintf(stderr, "docgen: cannot write %s\n", argv[2]);
        return 1;
    }
    if (what == "metainfo" && argc == 4) {
        const std::string marker = "<!-- keys -->";
        std::string text;
        const size_t at = read(argv[2], text) ? text.find(marker) : std::string::npos;
        if (at == std::string::npos) {
            std::fprintf(stderr, "docgen: %s has no line %s\n", argv[2], marker.c_str());
            return 1;
        }
        const size_t lineStart = text.rfind('\n', at) + 1;
        const size_t lineEnd = std::min(text.find('\n', at), text.size() - 1);
        text.replace(lineStart, lineEnd + 1 - lineStart, keyList(text.substr(lineStart, at - lineStart)));
        if (write(argv[3], text)) return 0;
        std::fprintf(stderr, "docgen: cannot write %s\n", argv[3]);
        return 1;
    }
    std::fprintf(stderr, "usage: %s manpage OUT VERSION DATE | metainfo TEMPLATE OUT\n", argv[0]);
    return 2;
}
