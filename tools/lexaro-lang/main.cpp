// lexaro-lang: checks, dumps, exports, imports and speaks language files and brings back their
// versions (see LangTool.h).
#include "LangTool.h"

#ifdef LEXARO_HAVE_ESPEAK
#include "speech/EspeakControl.h"
#endif

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    lexaro::TLangToolEnv env;
#ifdef LEXARO_HAVE_ESPEAK
    env.speechControl = [](std::shared_ptr<lexaro::TAudioOutput> output) {
        return std::make_unique<lexaro::TEspeakControl>(std::move(output));
    };
#endif
    env.errIsTerminal = isatty(STDERR_FILENO) != 0;
    const int status = lexaro::RunLangTool(args, std::cout, std::cerr, env);
    std::cout.flush();
    return status;
}
