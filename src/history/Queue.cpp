#include "Queue.h"

namespace corvellin {

void TQueueData::SetBase(const Picture& picture) {
    // A base set on a list that still has entries starts it afresh.
    TruncateAfter(&root_);
    root_.snapshot = picture;
    last_ = &root_;
    current_ = &root_;
}

HistoryEntry* TQueueData::Append(const Picture& picture, std::int32_t category, std::uint32_t colour,
                                 std::int32_t parameter, std::int32_t variation) {
    HistoryEntry* tail = last_ ? last_ : &root_;
    auto* entry = new HistoryEntry;
    entry->category = category;
    entry->variation = variation;
    entry->parameter = parameter;
    entry->colour = colour;
    entry->snapshot = picture;
    entry->previous = tail;
    tail->next = entry;
    last_ = entry;
    current_ = entry;
    return entry;
}

void TQueueData::TruncateAfter(HistoryEntry* entry) {
    if (entry == nullptr) return;
    HistoryEntry* doomed = entry->next;
    while (doomed) {
        HistoryEntry* following = doomed->next;
        delete doomed;
        doomed = following;
    }
    entry->next = nullptr;
    last_ = entry;
    current_ = entry;
}

void TQueueData::Clear() {
    HistoryEntry* entry = last_;
    while (entry && entry != &root_) {
        HistoryEntry* before = entry->previous;
        delete entry;
        entry = before;
    }
    // Entries beyond last_ cannot exist (last_ has no next), but the root's
    // link is cleared explicitly all the same.
    root_.next = nullptr;
    root_.previous = nullptr;
    root_.snapshot = Picture();
    last_ = nullptr;
    current_ = nullptr;
}

int TQueueData::CommittedCount() const {
    int count = 0;
    if (current_ == nullptr) return 0;
    for (const HistoryEntry* e = current_; e && e != &root_; e = e->previous) ++count;
    return count;
}

std::vector<std::string> TQueueData::TraceLines() const {
    std::vector<std::string> lines;
    for (const HistoryEntry* e = &root_; e; e = e->next) {
        std::string line = std::to_string(e->category) + "," + std::to_string(e->variation) + "," +
                           std::to_string(e->parameter) + "," + std::to_string(e->colour);
        if (e == current_) line += " <<";
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace corvellin
