// What the effect routines need from outside the picture: where the mask files
// lie, and (for reproducible renders) a fixed seed for the random scatter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvellin {

struct EffectContext {
    std::string picDir;                        // the folder "pic" beside the program
    std::optional<std::uint32_t> scatterSeed;  // absent: seed from the clock at every call
};

}  // namespace corvellin
