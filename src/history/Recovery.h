// What the editor keeps on disk so that a crash loses no edits: the path of
// the picture being edited, every recorded effect call and the position of the
// current entry. The text form is line based and versioned; a file that does
// not read back completely is refused as a whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "effects/Catalogue.h"

namespace corvellin {

struct RecoveryRecord {
    std::string source;            // the opened picture file
    std::vector<EffectCall> calls;  // every entry after the root, oldest first
    int position = 0;              // entries up to and including the current one (0: the root)
    bool operator==(const RecoveryRecord&) const = default;
};

std::string SerializeRecovery(const RecoveryRecord& record);

// The record, or nothing when the text is damaged: another first line, a
// missing or repeated field, a call outside the catalogue (category 1 to 15,
// variation 0 to 9), a position outside 0 to the number of calls, or bytes
// after the last line.
std::optional<RecoveryRecord> ParseRecovery(const std::string& text);

}  // namespace corvellin
