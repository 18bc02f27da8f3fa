#include "Table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace corvellin::report {

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Table::Render() const {
    using Cells = std::array<std::string, 8>;
    std::vector<Cells> lines;
    lines.push_back({"Sec", "Row", "Measured", "Against", "Ratio", "Target", "Meets", "Note"});
    for (const Row& r : rows_) {
        Cells cells = {r.section, r.name, r.measured, r.against, r.ratio, r.target, r.meets, r.note};
        // One line per row whatever a cell holds (a child's error text may span lines).
        for (std::string& cell : cells) {
            std::replace(cell.begin(), cell.end(), '\n', ' ');
            std::replace(cell.begin(), cell.end(), '|', '/');
        }
        lines.push_back(cells);
    }
    std::array<std::size_t, 8> width{};
    for (const Cells& cells : lines)
        for (std::size_t c = 0; c < cells.size(); ++c) width[c] = std::max(width[c], cells[c].size());
    // Numbers read best right-aligned; text columns stay left-aligned.
    const std::array<bool, 8> right = {false, false, true, true, true, false, false, false};
    std::string out;
    auto emit = [&](const Cells& cells) {
        out += "|";
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::string pad(width[c] - cells[c].size(), ' ');
            out += ' ';
            out += right[c] ? pad + cells[c] : cells[c] + pad;
            out += " |";
        }
        out += "\n";
    };
    emit(lines.front());
    out += "|";
    for (std::size_t c = 0; c < width.size(); ++c)
        out += (right[c] ? std::string(width[c] + 1, '-') + ':' : ':' + std::string(width[c] + 1, '-')) + '|';
    out += "\n";
    for (std::size_t i = 1; i < lines.size(); ++i) emit(lines[i]);
    return out;
}

}  // namespace corvellin::report
