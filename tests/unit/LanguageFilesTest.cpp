#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "settings/LanguageFiles.h"
#include "settings/SettingsFile.h"

namespace corvellin {
namespace {

void WriteText(const std::string& path, const std::string& text) {
    test::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(LanguageFiles, ListsIniNamesSortedWithoutCase) {
    test::TempDir dir;
    for (const char* name : {"zh-tw.ini", "Chinese.INI", "template.ini", "notes.txt", "b.ini.bak", "Alpha.ini"})
        WriteText(dir.file(name), "[Info]\nLanguage=x\n");
    std::filesystem::create_directory(dir.file("folder.ini"));
    EXPECT_EQ(ListLanguageFiles(dir.path()),
              (std::vector<std::string>{"Alpha.ini", "Chinese.INI", "template.ini", "zh-tw.ini"}));
    EXPECT_TRUE(ListLanguageFiles(dir.file("absent")).empty());
    EXPECT_TRUE(IsTemplateLanguageFile(" TEMPLATE.ini "));
    EXPECT_FALSE(IsTemplateLanguageFile("template2.ini"));
}

TEST(LanguageFiles, NameAndTranslationsWithTheirFallbacks) {
    const IniFile file = IniFile::Parse("[Info]\nLanguage=  Deutsch  \n[String]\n&OPEN=&Oeffnen\n&Save=\n");
    EXPECT_EQ(LanguageDisplayName(file), "Deutsch");
    EXPECT_EQ(Translate(file, "&Open", "&Open"), "&Oeffnen");  // key case does not matter
    EXPECT_EQ(Translate(file, "&Save", "&Save"), "&Save");
    EXPECT_EQ(Translate(file, "Light&B", "&Light&B"), "&Light&B");
    EXPECT_EQ(LanguageDisplayName(IniFile::Parse("[Info]\nLanguage=   \n")), "");
    EXPECT_EQ(LanguageDisplayName(IniFile::Parse("[String]\nA=B\n")), "");
}

TEST(LanguageFiles, ReadsUtf8AndFallsBackToWindows1252) {
    test::TempDir dir;
    WriteText(dir.file("utf8.ini"), "[Info]\nLanguage=Fran\xC3\xA7" "ais\n");
    WriteText(dir.file("ansi.ini"), "[Info]\nLanguage=Fran\xE7" "ais \x80\n");
    EXPECT_EQ(LanguageDisplayName(LoadLanguageFile(dir.file("utf8.ini"))), "Fran\xC3\xA7" "ais");
    EXPECT_EQ(LanguageDisplayName(LoadLanguageFile(dir.file("ansi.ini"))), "Fran\xC3\xA7" "ais \xE2\x82\xAC");
    EXPECT_EQ(LanguageDisplayName(LoadLanguageFile(dir.file("vanished.ini"))), "");
    for (const char* bad : {"\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF5\x80\x80\x80", "a\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_TRUE(IsValidUtf8("\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80"));
}

TEST(SettingsFile, LivesInTheConfigFolderAndIsWrittenWhole) {
    test::TempDir dir;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(SettingsFilePath(), dir.path() + "/Corvellin Photo/cfg.ini");
    if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");

    ASSERT_TRUE(EnsureFolder(dir.file("a/b/Corvellin Photo")));
    IniFile ini;
    ini.WriteInteger("Language", "index", 2);
    WriteIniFile(dir.file("a/b/Corvellin Photo/cfg.ini"), ini);
    EXPECT_EQ(IniFile::Load(dir.file("a/b/Corvellin Photo/cfg.ini")).ReadInteger("language", "INDEX", -1), 2);
    WriteText(dir.file("plain"), "x");
    EXPECT_FALSE(EnsureFolder(dir.file("plain/sub")));
}

}  // namespace
}  // namespace corvellin
