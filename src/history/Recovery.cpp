#include "Recovery.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace corvellin {
namespace {

constexpr std::string_view kFirstLine = "Corvellin Photo recovery 1";

// A path may hold any byte but NUL; '%' and the line breaks are written as
// %25, %0A and %0D so that every field stays on its own line.
std::string EscapePath(const std::string& path) {
    std::string out;
    for (const char c : path) {
        if (c == '%') out += "%25";
        else if (c == '\n') out += "%0A";
        else if (c == '\r') out += "%0D";
        else out += c;
    }
    return out;
}

std::optional<std::string> UnescapePath(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const std::string_view code = text.substr(i + 1, 2);
        if (code == "25") out += '%';
        else if (code == "0A") out += '\n';
        else if (code == "0D") out += '\r';
        else return std::nullopt;
        i += 2;
    }
    return out;
}

template <class Int>
bool ParseInt(std::string_view text, Int& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

std::optional<EffectCall> ParseCall(std::string_view text) {
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = text.find(',');
        if ((i < 3) != (comma != std::string_view::npos)) return std::nullopt;
        fields[i] = text.substr(0, comma);
        if (i < 3) text.remove_prefix(comma + 1);
    }
    EffectCall call;
    if (!ParseInt(fields[0], call.category) || !ParseInt(fields[1], call.variation) ||
        !ParseInt(fields[2], call.parameter) || !ParseInt(fields[3], call.colour))
        return std::nullopt;
    if (call.category < 1 || call.category > kCategoryCount || call.variation < 0 || call.variation >= kVariationCount)
        return std::nullopt;
    return call;
}

}  // namespace

std::string SerializeRecovery(const RecoveryRecord& record) {
    std::string text(kFirstLine);
    text += "\nsource=" + EscapePath(record.source) + "\n";
    text += "position=" + std::to_string(record.position) + "\n";
    text += "calls=" + std::to_string(record.calls.size()) + "\n";
    for (const EffectCall& c : record.calls)
        text += "call=" + std::to_string(c.category) + "," + std::to_string(c.variation) + "," +
                std::to_string(c.parameter) + "," + std::to_string(c.colour) + "\n";
    text += "end\n";
    return text;
}

std::optional<RecoveryRecord> ParseRecovery(const std::string& text) {
    std::vector<std::string_view> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t br = rest.find('\n');
        if (br == std::string_view::npos) return std::nullopt;  // a cut last line
        lines.push_back(rest.substr(0, br));
        rest.remove_prefix(br + 1);
    }
    // First line, source, position, count, the calls, end.
    if (lines.size() < 5 || lines[0] != kFirstLine || lines.back() != "end") return std::nullopt;
    auto field = [&](std::size_t index, std::string_view name) -> std::optional<std::string_view> {
        const std::string_view line = lines[index];
        if (line.substr(0, name.size()) != name || line.size() <= name.size() || line[name.size()] != '=')
            return std::nullopt;
        return line.substr(name.size() + 1);
    };
    RecoveryRecord record;
    const auto source = field(1, "source");
    const auto position = field(2, "position");
    const auto count = field(3, "calls");
    if (!source || !position || !count) return std::nullopt;
    const auto path = UnescapePath(*source);
    std::size_t calls = 0;
    if (!path || path->empty() || path->find('\0') != std::string::npos || !ParseInt(*position, record.position) ||
        !ParseInt(*count, calls) || calls != lines.size() - 5)
        return std::nullopt;
    record.source = *path;
    for (std::size_t i = 0; i < calls; ++i) {
        const auto value = field(4 + i, "call");
        if (!value) return std::nullopt;
        const auto call = ParseCall(*value);
        if (!call) return std::nullopt;
        record.calls.push_back(*call);
    }
    if (record.position < 0 || static_cast<std::size_t>(record.position) > record.calls.size()) return std::nullopt;
    return record;
}

}  // namespace corvellin
