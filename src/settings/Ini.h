// INI files with the rules of the classic profile API: section and key names
// compared without case (ASCII), the first matching section and key win,
// values trimmed, one pair of enclosing single or double quotes removed, values
// cut at 2047 characters, LF or CRLF line ends, a UTF-8 byte-order mark ignored.
// Shared by the settings file, the language files and the update file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "picture/Limits.h"  // kIniValueLimit, kMaxIniFileBytes

namespace corvellin {

class IniFile {
public:
    IniFile() = default;
    static IniFile Parse(std::string_view text);
    // A missing or unreadable file, or one larger than kMaxIniFileBytes, reads
    // as an empty one.
    static IniFile Load(const std::string& path);

    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
    // Accepts a point or the given locale separator.
    double ReadReal(std::string_view section, std::string_view key, double fallback, char localeSeparator = '.') const;

    // Sets a value; a new section or key goes after the existing ones, so a
    // file written key by key keeps the order of writing.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void WriteReal(std::string_view section, std::string_view key, double value);

    // "[Section]" and "Key=Value" lines, LF line ends.
    std::string Serialize() const;

    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    const std::vector<Section>& sections() const { return sections_; }

private:
    const Section* FindSection(std::string_view name) const;
    std::vector<Section> sections_;
};

// Whole-text number readers with the settings file's rules.
// Integers: optional sign and decimal digits, or "0x"/"0X" and at least one hex digit.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);
// Reals: optional sign, digits with a point or localeSeparator, optional exponent.
std::optional<double> ParseIniReal(std::string_view text, char localeSeparator = '.');
// The shortest text with at most 15 significant digits: 20 -> "20", 12.5 -> "12.5".
std::string FormatIniReal(double value);

// The bytes of an INI file; empty when it is missing, unreadable or larger than
// kMaxIniFileBytes (read no further than that, so a huge file costs nothing).
std::string ReadIniFileText(const std::string& path);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
std::string_view TrimBlanks(std::string_view text);

}  // namespace corvellin
