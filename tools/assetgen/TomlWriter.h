// A small writer of TOML text for the level files the kit makes: tables,
// arrays of tables, keys with texts, numbers and lists of numbers, and
// comments. It writes only what it is given, in that order, so the same
// calls give the same bytes.
#pragma once

#include <initializer_list>
#include <string>

namespace assetgen {

class TomlWriter {
public:
    // "# text" on a line of its own; an empty text gives a blank line.
    void comment(const std::string& text);
    // [name] and [[name]], each after a blank line.
    void table(const std::string& name);
    void arrayTable(const std::string& name);

    void key(const std::string& name, const std::string& text);
    void key(const std::string& name, const char* text) { key(name, std::string(text)); }
    void key(const std::string& name, int number);
    // A float, always with a decimal point (TOML reads "5" as a whole number).
    void key(const std::string& name, double number, int decimals = 1);
    void key(const std::string& name, std::initializer_list<double> numbers, int decimals = 1);

    const std::string& text() const { return out; }

    // A text in double quotes with its quotes, backslashes and control
    // characters escaped.
    static std::string quoted(const std::string& text);
    static std::string number(double value, int decimals);

private:
    void line(const std::string& text);
    std::string out;
    bool keysFollow = false;  // the last line was a table or a key
};

}  // namespace assetgen
