// corvellin-fx batch: the same effect calls on many files, on several threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "effects/Catalogue.h"

namespace corvellin::fx {

inline constexpr unsigned kMaxBatchThreads = 256;

struct BatchOptions {
    unsigned threads = 1;  // worker threads, 1..kMaxBatchThreads
    std::string picDir;
    std::optional<std::uint32_t> scatterSeed;
    std::string outDir;
    std::vector<EffectCall> calls;
    std::vector<std::string> files;
    bool keepOrientation = false;  // work on the pixels as stored
};

struct ParsedBatch {
    std::optional<BatchOptions> options;
    std::string error;  // the usage problem, when options is empty
};

// The arguments after "batch": [-j N] [--pic-dir DIR] [--seed N] [--keep-orientation] -o OUTDIR
// CALL... -- FILE... Options and calls may come in any order before "--";
// everything after it is a file. Without -j, one thread per core.
ParsedBatch ParseBatchArguments(const std::vector<std::string>& args, const std::string& defaultPicDir);

// Renders every file into the output folder as OUTDIR/<its file name> (a
// format that is read but not written goes out as JPEG, its extension
// replaced by the JPEG one), and
// reports each file that fails on stderr as "<FILE>: <text>" while the others
// go on. Returns 0 when every file was written, 1 otherwise (also when the
// output folder cannot be created, then with nothing done).
int RunBatch(const BatchOptions& options);

}  // namespace corvellin::fx
