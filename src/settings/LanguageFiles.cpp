#include "LanguageFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace corvellin {
namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::vector<std::string> ListLanguageFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_directory(error)) continue;
        const std::string name = it->path().filename().string();
        if (name.size() >= 4 && Lower(name.substr(name.size() - 4)) == ".ini") names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

bool IsTemplateLanguageFile(const std::string& name) { return Lower(std::string(TrimBlanks(name))) == "template.ini"; }

bool IsValidUtf8(const std::string& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        std::size_t extra;
        unsigned code;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) extra = 1, code = c & 0x1Fu;
        else if (c >= 0xE0 && c <= 0xEF) extra = 2, code = c & 0x0Fu;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3, code = c & 0x07u;
        else return false;
        if (i + extra >= bytes.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& bytes) {
    // 0x80..0x9F differ from Latin-1; the five unassigned positions map to themselves.
    static const unsigned kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const unsigned c = static_cast<unsigned char>(ch);
        AppendUtf8(out, (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c);
    }
    return out;
}

IniFile LoadLanguageFile(const std::string& path) {
    std::string text = ReadIniFileText(path);
    if (!IsValidUtf8(text)) text = Windows1252ToUtf8(text);
    return IniFile::Parse(text);
}

std::string LanguageDisplayName(const IniFile& file) {
    return std::string(TrimBlanks(file.ReadString("Info", "Language", "")));
}

std::string Translate(const IniFile& file, const std::string& key, const std::string& builtIn) {
    // An empty translation (as in a half-finished file) would blank the control: keep the built-in text.
    const std::optional<std::string> text = file.ReadString("String", key);
    return (text && !text->empty()) ? *text : builtIn;
}

}  // namespace corvellin
