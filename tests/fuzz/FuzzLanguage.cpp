// libFuzzer target: a language file as LoadLanguageFile reads it (UTF-8, or
// Windows-1252 converted), applied to every caption key of every window.
#include <cstddef>
#include <cstdint>
#include <string>

#include "picture/Error.h"
#include "settings/CaptionCatalog.h"
#include "settings/LanguageFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        std::string text(reinterpret_cast<const char*>(data), size);
        if (!corvellin::IsValidUtf8(text)) text = corvellin::Windows1252ToUtf8(text);
        const corvellin::IniFile file = corvellin::IniFile::Parse(text);
        (void)corvellin::LanguageDisplayName(file);
        for (const corvellin::CaptionKey& caption : corvellin::AllCaptionKeys())
            (void)corvellin::Translate(file, caption.key, caption.builtIn);
    } catch (const corvellin::Error&) {
    }
    return 0;
}
