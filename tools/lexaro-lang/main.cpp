// lexaro-lang: checks, dumps, exports and imports language files (see LangTool.h).
#include "LangTool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = lexaro::RunLangTool(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
