// The edit history: a hand-linked list of applied effects, each with a snapshot
// of the display-size working picture right after it. The root entry records no
// effect; its snapshot is the working picture as loaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects/Catalogue.h"
#include "picture/Picture.h"

namespace corvellin {

struct HistoryEntry {
    std::int32_t category = 0;
    std::int32_t variation = 0;
    std::int32_t parameter = 0;
    std::uint32_t colour = 0;
    Picture snapshot;
    HistoryEntry* previous = nullptr;
    HistoryEntry* next = nullptr;

    EffectCall call() const { return EffectCall{category, variation, parameter, colour}; }
};

class TQueueData {
public:
    TQueueData() = default;
    ~TQueueData() { Clear(); }
    TQueueData(const TQueueData&) = delete;
    TQueueData& operator=(const TQueueData&) = delete;

    // The root's snapshot becomes an exact copy of picture; the root becomes
    // the newest and the current entry.
    void SetBase(const Picture& picture);

    // Links a new entry with the four values and a copy of picture after the
    // newest entry; it becomes the newest and the current entry.
    HistoryEntry* Append(const Picture& picture, std::int32_t category, std::uint32_t colour, std::int32_t parameter,
                         std::int32_t variation);

    // Frees every entry after entry; entry becomes the newest and the current.
    void TruncateAfter(HistoryEntry* entry);

    // Frees every entry but the root and the root's snapshot; no entry is
    // newest or current until the next SetBase.
    void Clear();

    HistoryEntry* HistoryRoot() { return &root_; }
    const HistoryEntry* HistoryRoot() const { return &root_; }
    HistoryEntry* HistoryLast() const { return last_; }
    HistoryEntry* HistoryCurrent() const { return current_; }
    void SetHistoryCurrent(HistoryEntry* entry) { current_ = entry; }

    // Number of entries after the root up to and including the current one.
    int CommittedCount() const;

    // One line per entry from the root: "category,variation,parameter,colour",
    // followed by " <<" on the current entry's line.
    std::vector<std::string> TraceLines() const;

private:
    HistoryEntry root_;
    HistoryEntry* last_ = &root_;
    HistoryEntry* current_ = &root_;
};

}  // namespace corvellin
