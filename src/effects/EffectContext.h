// What the effect routines need from outside the picture: where the mask files
// lie, (for reproducible renders) a fixed seed for the random scatter, and,
// optionally, the threads for row bands and a cache of mask pictures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvellin {

class BandPool;
class MaskCache;

struct EffectContext {
    std::string picDir;                        // the folder "pic" beside the program
    std::optional<std::uint32_t> scatterSeed;  // absent: seed from the clock at every call
    BandPool* bands = nullptr;                 // absent: every kernel runs on the calling thread
    MaskCache* masks = nullptr;                // absent: every mask file is read afresh at each use
};

}  // namespace corvellin
