#include "StoredSettings.h"

#include "picture/Error.h"
#include "settings/Ini.h"
#include "settings/SettingsFile.h"

namespace corvellin {
namespace {
constexpr const char* kLayoutSection = "PrintPrew";
constexpr const char* kLanguageSection = "Language";
}  // namespace

StoredSettings ReadStoredSettings(const std::string& path, char sep) {
    const IniFile ini = IniFile::Load(path);
    StoredSettings s;
    const PrintLayout d;
    PrintLayout& l = s.layout;
    l.Top = ini.ReadReal(kLayoutSection, "Top", d.Top, sep);
    l.Left = ini.ReadReal(kLayoutSection, "Left", d.Left, sep);
    l.TopUnit = ini.ReadInteger(kLayoutSection, "TopUnit", d.TopUnit);
    l.LeftUnit = ini.ReadInteger(kLayoutSection, "LeftUnit", d.LeftUnit);
    l.Center = ini.ReadBool(kLayoutSection, "Center", d.Center);
    l.Scale = ini.ReadReal(kLayoutSection, "Scale", d.Scale, sep);
    l.FitPage = ini.ReadBool(kLayoutSection, "FitPage", d.FitPage);
    l.WidthUnit = ini.ReadInteger(kLayoutSection, "WidthUnit", d.WidthUnit);
    l.HeightUnit = ini.ReadInteger(kLayoutSection, "HeightUnit", d.HeightUnit);
    l.BorderBox = ini.ReadBool(kLayoutSection, "BorderBox", d.BorderBox);
    s.languageIndex = ini.ReadInteger(kLanguageSection, "index", -1);
    return s;
}

void WriteStoredSettings(const std::string& path, const StoredSettings& s) {
    IniFile ini;
    const PrintLayout& l = s.layout;
    ini.WriteReal(kLayoutSection, "Top", l.Top);
    ini.WriteReal(kLayoutSection, "Left", l.Left);
    ini.WriteInteger(kLayoutSection, "TopUnit", l.TopUnit);
    ini.WriteInteger(kLayoutSection, "LeftUnit", l.LeftUnit);
    ini.WriteBool(kLayoutSection, "Center", l.Center);
    ini.WriteReal(kLayoutSection, "Scale", l.Scale);
    ini.WriteBool(kLayoutSection, "FitPage", l.FitPage);
    ini.WriteInteger(kLayoutSection, "WidthUnit", l.WidthUnit);
    ini.WriteInteger(kLayoutSection, "HeightUnit", l.HeightUnit);
    ini.WriteBool(kLayoutSection, "BorderBox", l.BorderBox);
    ini.WriteInteger(kLanguageSection, "index", s.languageIndex);
    try {
        const std::size_t slash = path.find_last_of('/');
        if (slash != std::string::npos && slash > 0) EnsureFolder(path.substr(0, slash));
        WriteIniFile(path, ini);
    } catch (const Error&) {
        throw Error(Format("Unable to write to %s", path.c_str()));
    }
}

}  // namespace corvellin
