// The report's one table: every measured row with what it is held to. Rows of
// all four sections share the columns, so the table prints as one block that
// pastes into a note as Markdown.
#pragma once

#include <string>
#include <vector>

namespace corvellin::report {

struct Row {
    std::string section;   // "1" .. "5"
    std::string name;      // what was measured
    std::string measured;  // the value with its unit
    std::string against;   // what it is compared with, with its value ("-" when nothing)
    std::string ratio;     // measured / against ("-" when nothing)
    std::string target;    // the limit the row is held to
    std::string meets;     // "yes", "NO" or "n/a"
    std::string note;      // memory, commands, anything else worth a glance
};

class Table {
public:
    void Add(Row row) { rows_.push_back(std::move(row)); }
    // Aligned Markdown: a header, a rule, then the rows in the order added.
    std::string Render() const;

private:
    std::vector<Row> rows_;
};

// "12.3 ms" style numbers with a fixed number of decimals.
std::string Fixed(double value, int decimals);
// "yes" when ok, "NO" otherwise: failures stand out in a long table.
inline std::string Meets(bool ok) { return ok ? "yes" : "NO"; }

}  // namespace corvellin::report
