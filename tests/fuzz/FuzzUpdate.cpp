// libFuzzer target: the update file as the server sends it, its version
// compared with the running one, and the decision taken from it. The first
// line of the input is also compared as a version against the rest.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "picture/Error.h"
#include "settings/Ini.h"
#include "update/UpdateCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const std::string_view text(reinterpret_cast<const char*>(data), size);
        const corvellin::UpdateInfo info = corvellin::ReadUpdateInfo(corvellin::IniFile::Parse(text));
        (void)corvellin::DecideUpdate(info);
        (void)corvellin::IsNewerVersion(info.version);
        (void)corvellin::IsWebAddress(info.url);
        const std::size_t split = text.find('\n');
        if (split != std::string_view::npos)
            (void)corvellin::IsNewerVersion(text.substr(0, split), text.substr(split + 1));
    } catch (const corvellin::Error&) {
    }
    return 0;
}
