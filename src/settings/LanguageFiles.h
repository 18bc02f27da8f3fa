// Translations: INI files in the Languages folder beside the program. Section
// "Info" names the language; section "String" maps each English text of the
// interface (the key) to its translation.
#pragma once

#include <string>
#include <vector>

#include "Ini.h"

namespace corvellin {

// The names of the folder's "*.ini" files (extension in any case), sorted
// without regard to case. A language is identified by its index in this list.
std::vector<std::string> ListLanguageFiles(const std::string& folder);

// "template.ini" (without case, blanks around the name dropped) is never offered.
bool IsTemplateLanguageFile(const std::string& name);

// Reads a language file as UTF-8; a file that is not valid UTF-8 is taken as
// Windows-1252 and converted. A missing file, or one larger than
// kMaxIniFileBytes, reads as empty.
IniFile LoadLanguageFile(const std::string& path);

// The name the Languages menu shows ("Info", "Language", trimmed); empty when
// the file is not to be offered.
std::string LanguageDisplayName(const IniFile& file);

// The translation of an interface text, or builtIn when the file has none
// (or an empty one).
std::string Translate(const IniFile& file, const std::string& key, const std::string& builtIn);

bool IsValidUtf8(const std::string& bytes);
std::string Windows1252ToUtf8(const std::string& bytes);

}  // namespace corvellin
