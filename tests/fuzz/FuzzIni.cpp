// libFuzzer target: the INI module. Parses the input, reads a few keys with
// every Read* function, then writes a value, serialises and parses again.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string>
#include <string_view>

#include "picture/Error.h"
#include "settings/Ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using corvellin::IniFile;
    try {
        const std::string_view text(reinterpret_cast<const char*>(data), size);
        IniFile file = IniFile::Parse(text);
        static const char* const kSections[] = {"Options", "String", "Info", "Update", "Print"};
        static const char* const kKeys[] = {"Language", "version", "URL", "Width", "Scale", "Enabled", "Margin"};
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                (void)file.ReadString(section, key);
                (void)file.ReadString(section, key, "fallback");
                (void)file.ReadInteger(section, key, -7);
                (void)file.ReadBool(section, key, true);
                (void)file.ReadReal(section, key, 1.5, '.');
                (void)file.ReadReal(section, key, 1.5, ',');
            }
        }
        for (const IniFile::Section& section : file.sections())
            for (const auto& entry : section.entries) (void)file.ReadString(section.name, entry.first);
        (void)corvellin::ParseIniInteger(text);
        (void)corvellin::ParseIniReal(text, ',');
        const std::string value(corvellin::TrimBlanks(text.substr(0, std::min<std::size_t>(text.size(), 64))));
        file.WriteString("FuzzCheck", "Value", value);
        const IniFile again = IniFile::Parse(file.Serialize());
        (void)again.ReadString("FuzzCheck", "Value");
    } catch (const corvellin::Error&) {
    }
    return 0;
}
