// libFuzzer target: the recovery file reader. Whatever it accepts must write
// back to a text that reads as the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "history/Recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto record = corvellin::ParseRecovery(text);
    if (record && corvellin::ParseRecovery(corvellin::SerializeRecovery(*record)) != record) std::abort();
    return 0;
}
