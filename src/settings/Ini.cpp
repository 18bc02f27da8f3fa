#include "Ini.h"

#include <charconv>
#include <cmath>
#include <fstream>

namespace corvellin {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

namespace {

std::string CleanValue(std::string_view raw) {
    std::string_view value = TrimBlanks(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    if (value.size() > kIniValueLimit) value = value.substr(0, kIniValueLimit);
    return std::string(value);
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile file;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    Section* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        line = TrimBlanks(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name = TrimBlanks(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            file.sections_.push_back(Section{std::string(name), {}});
            current = &file.sections_.back();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, equals));
        if (key.empty()) continue;
        current->entries.emplace_back(std::string(key), CleanValue(line.substr(equals + 1)));
    }
    return file;
}

std::string ReadIniFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxIniFileBytes) return {};
    }
    if (in.bad()) return {};
    return text;
}

IniFile IniFile::Load(const std::string& path) { return Parse(ReadIniFileText(path)); }

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const Section& section : sections_)
        if (EqualsIgnoringCase(section.name, name)) return &section;
    return nullptr;
}

std::optional<std::string> IniFile::ReadString(std::string_view section, std::string_view key) const {
    // The first section of that name holds the value; later duplicates are ignored.
    const Section* found = FindSection(section);
    if (!found) return std::nullopt;
    for (const auto& [name, value] : found->entries)
        if (EqualsIgnoringCase(name, key)) return value;
    return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
    return ReadString(section, key).value_or(fallback);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const {
    const auto text = ReadString(section, key);
    if (!text) return fallback;
    return ParseIniInteger(*text).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

double IniFile::ReadReal(std::string_view section, std::string_view key, double fallback, char localeSeparator) const {
    const auto text = ReadString(section, key);
    if (!text) return fallback;
    return ParseIniReal(*text, localeSeparator).value_or(fallback);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* target = nullptr;
    for (Section& s : sections_)
        if (EqualsIgnoringCase(s.name, section)) {
            target = &s;
            break;
        }
    if (!target) {
        sections_.push_back(Section{std::string(section), {}});
        target = &sections_.back();
    }
    for (auto& [name, stored] : target->entries)
        if (EqualsIgnoringCase(name, key)) {
            stored = std::string(value);
            return;
        }
    target->entries.emplace_back(std::string(key), std::string(value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteReal(std::string_view section, std::string_view key, double value) {
    WriteString(section, key, FormatIniReal(value));
}

std::string IniFile::Serialize() const {
    std::string text;
    for (const Section& section : sections_) {
        text += "[" + section.name + "]\n";
        for (const auto& [key, value] : section.entries) text += key + "=" + value + "\n";
    }
    return text;
}

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t value = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return std::nullopt;
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFu) return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<double> ParseIniReal(std::string_view raw, char localeSeparator) {
    const std::string_view text = TrimBlanks(raw);
    std::string normal;
    std::size_t i = 0, digits = 0;
    // A leading sign as the integer rule reads it; from_chars itself takes only '-'.
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        if (text[i++] == '-') normal += '-';
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) normal += text[i];
    if (i < text.size() && (text[i] == '.' || text[i] == localeSeparator)) {
        normal += '.';
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) normal += text[i];
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) normal += text[i++];
        std::size_t exponentDigits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++exponentDigits) normal += text[i];
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    // from_chars ignores the process locale (the window sets one for its texts).
    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error != std::errc() || end != normal.data() + normal.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string FormatIniReal(double value) {
    // Always with a point, whatever the locale, so that a change of locale never
    // makes a stored layout unreadable.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

}  // namespace corvellin
