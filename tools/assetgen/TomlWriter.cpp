#include "TomlWriter.h"

#include <cmath>
#include <cstdio>

namespace assetgen {

void TomlWriter::line(const std::string& text) {
    out += text + "\n";
    keysFollow = true;
}

void TomlWriter::comment(const std::string& text) {
    line(text.empty() ? "" : "# " + text);
    keysFollow = false;
}

// A table starts after a blank line, unless a comment right above (or a
// blank line) already sets it apart.
void TomlWriter::table(const std::string& name) {
    if (keysFollow) line("");
    line("[" + name + "]");
}

void TomlWriter::arrayTable(const std::string& name) {
    if (keysFollow) line("");
    line("[[" + name + "]]");
}

void TomlWriter::key(const std::string& name, const std::string& text) { line(name + " = " + quoted(text)); }

void TomlWriter::key(const std::string& name, int number) { line(name + " = " + std::to_string(number)); }

void TomlWriter::key(const std::string& name, double value, int decimals) { line(name + " = " + number(value, decimals)); }

void TomlWriter::key(const std::string& name, std::initializer_list<double> numbers, int decimals) {
    std::string list;
    for (double n : numbers) list += (list.empty() ? "" : ", ") + number(n, decimals);
    line(name + " = [" + list + "]");
}

std::string TomlWriter::quoted(const std::string& text) {
    std::string q = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            q += '\\';
            q += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            q += escape;
        } else {
            q += static_cast<char>(c);
        }
    }
    return q + "\"";
}

// Fixed decimals (at least one), and never "-0.0": the text of a value does
// not depend on the sign of a rounded zero.
std::string TomlWriter::number(double value, int decimals) {
    if (!std::isfinite(value)) value = 0.0;
    decimals = decimals < 1 ? 1 : decimals;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

}  // namespace assetgen
