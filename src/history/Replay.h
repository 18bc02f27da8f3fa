// The replay walk: the committed calls of a history applied, oldest first, to
// a copy of a picture (the full-size picture for output).
#pragma once

#include <functional>
#include <optional>

#include "Queue.h"
#include "effects/EffectContext.h"

namespace corvellin {

// What a replay reports while it walks, so that a window can show progress and
// repaint between entries.
struct ReplayProgress {
    std::function<void(int minimum, int maximum)> start;  // before the first entry
    std::function<void()> step;                           // after every entry but the last
    std::function<void()> finish;                         // after the walk, also when it throws
};

// A copy of source with ApplyEffect run for every entry after the root up to and
// including the current one, then the pending call if one is given (the effect
// under preview). The progress runs from 0 to count - 1 (count - 1 is -1 for an
// empty walk). Mask errors reach the caller; the history is never changed.
Picture ReplayHistoryOnto(const TQueueData& history, const Picture& source, const EffectContext& context,
                          const ReplayProgress& progress, const std::optional<EffectCall>& pending = std::nullopt);

}  // namespace corvellin
