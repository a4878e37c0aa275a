#pragma once
#include <string>

// The manual page zarvik(6) in roff (man macros), made from the same option
// and key tables as --help, so that none of them can leave one out.
namespace ManualPage {

// The whole page; version and date ("2026-12-08") go into its title line.
std::string roff(const std::string& version, const std::string& date);

// Text as roff shows it literally: backslashes and hyphens escaped, a line
// that would start with a control character guarded.
std::string escape(const std::string& text);

}  // namespace ManualPage
