#pragma once

// lexaro-lang: checks, dumps, exports and imports language files. This is its command line:
// it reads the arguments, calls the table module (LangTable.h) and the explained load
// (LangFileReport.h), and prints. main.cpp only hands over the arguments, so that tests run
// the whole tool in process.

#include <iosfwd>
#include <string>
#include <vector>

namespace lexaro {

inline constexpr int kLangToolOk = 0;
inline constexpr int kLangToolBadData = 1;
inline constexpr int kLangToolUsage = 2;

// The whole command line tool. args excludes the program name; returns the exit status.
int RunLangTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text shown by --help.
std::string LangToolUsage();

} // namespace lexaro
