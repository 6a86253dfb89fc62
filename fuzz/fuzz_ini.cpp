// Settings files come from disk and may hold anything: reading, writing and erasing must never
// crash, untouched text must come back byte for byte, and written values must read back.
#include "app/IniFileHandler.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using lexaro::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lexaro;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tIniFileHandler ini;
    ini.LoadText(text);
    Check(ini.Text() == text);

    for (const char* section : {"Exercise", "exerciseWords", "AvailableUnits", "A", ""}) {
        (void)ini.ReadString(section, "LangFileName", "x");
        (void)ini.ReadInteger(section, "MaxWords", 300);
        (void)ini.ReadBool(section, "FirstLang", true);
        (void)ini.ReadIntList(section, "NbrUnits");
        (void)ini.ReadStringList(section, "NbrWords");
        (void)ini.CountNumberedKeys(section);
        (void)ini.SectionExists(section);
    }

    ini.WriteInteger("Exercise", "MaxWords", 42);
    ini.WriteBool("Exercise", "FirstLang", false);
    ini.EraseSection("ExerciseWords");
    ini.WriteStringList("ExerciseWords", {"1-2-0", "3-4-5"});
    ini.WriteInteger("ExerciseWords", "NbrWords", ini.CountNumberedKeys("ExerciseWords"));
    // A value made of the input itself, line breaks and all.
    const std::string value(text.substr(0, 64));
    ini.WriteString("Application", "Language", value);

    tIniFileHandler again;
    again.LoadText(ini.Text());
    Check(again.ReadInteger("exercise", "maxwords", 0) == 42);
    Check(!again.ReadBool("EXERCISE", "FirstLang", true));
    Check(again.ReadStringList("ExerciseWords", "NbrWords") ==
          std::vector<std::string>{"1-2-0", "3-4-5"});
    const std::string back = again.ReadString("Application", "Language", "");
    Check(back.find('\r') == std::string::npos && back.find('\n') == std::string::npos);
    return 0;
}
