#include <gtest/gtest.h>

#include "Mounts.h"
#include "TestFiles.h"
#include "app/StoredSettings.h"
#include "picture/Error.h"

namespace corvellin {
namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = test::ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

void WriteText(const std::string& path, const std::string& text) {
    test::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(StoredSettings, FirstRunGivesDefaultsAndWritesTheElevenKeysInOrder) {
    test::TempDir dir;
    const std::string path = dir.file("Corvellin Photo/cfg.ini");
    const StoredSettings settings = ReadStoredSettings(path, '.');
    EXPECT_EQ(settings, StoredSettings{});
    WriteStoredSettings(path, settings);
    EXPECT_EQ(ReadText(path),
              "[PrintPrew]\nTop=20\nLeft=20\nTopUnit=1\nLeftUnit=1\nCenter=1\nScale=100\nFitPage=1\n"
              "WidthUnit=1\nHeightUnit=1\nBorderBox=1\n[Language]\nindex=-1\n");
}

TEST(StoredSettings, UnreadableValuesFallBackKeyByKey) {
    test::TempDir dir;
    WriteText(dir.file("cfg.ini"),
              "[Other]\nx=1\n[printprew]\nCenter=yes\nFitPage=0\nTopUnit=0x3\nLeftUnit=3.0\nTop=abc\nLeft=\n"
              "Scale=2,54\nBorderBox=2\n[LANGUAGE]\nINDEX=4\nExtra=kept?\n");
    const StoredSettings s = ReadStoredSettings(dir.file("cfg.ini"), ',');
    EXPECT_TRUE(s.layout.Center);
    EXPECT_FALSE(s.layout.FitPage);
    EXPECT_EQ(s.layout.TopUnit, 3);
    EXPECT_EQ(s.layout.LeftUnit, 1);
    EXPECT_EQ(s.layout.Top, 20);
    EXPECT_EQ(s.layout.Left, 20);
    EXPECT_EQ(s.layout.Scale, 2.54);  // the locale's comma
    EXPECT_TRUE(s.layout.BorderBox);
    EXPECT_EQ(s.languageIndex, 4);
    // Unknown sections and keys are gone after the next write.
    WriteStoredSettings(dir.file("cfg.ini"), s);
    EXPECT_EQ(ReadText(dir.file("cfg.ini")).find("Other"), std::string::npos);
    EXPECT_EQ(ReadText(dir.file("cfg.ini")).find("Extra"), std::string::npos);
    EXPECT_NE(ReadText(dir.file("cfg.ini")).find("Scale=2.54\n"), std::string::npos);
}

TEST(StoredSettings, RealsSurviveAChangeOfLocale) {
    test::TempDir dir;
    StoredSettings s;
    s.layout.Top = 2.54;
    s.layout.Scale = 33.3;
    WriteStoredSettings(dir.file("cfg.ini"), s);
    EXPECT_EQ(ReadStoredSettings(dir.file("cfg.ini"), ','), s);
    EXPECT_EQ(ReadStoredSettings(dir.file("cfg.ini"), '.'), s);
}

TEST(StoredSettings, FailedWriteKeepsThePreviousFile) {
    test::TempDir dir;
    const std::string path = dir.file("cfg.ini");
    WriteText(path, "[Language]\nindex=3\n");
    test::ScopedMount readOnly;
    CORVELLIN_MOUNT_OR_SKIP(readOnly.BindReadOnly(dir.path()));
    try {
        WriteStoredSettings(path, StoredSettings{});
        ADD_FAILURE() << "the write succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    readOnly.Release();
    EXPECT_EQ(ReadText(path), "[Language]\nindex=3\n");
}

}  // namespace
}  // namespace corvellin
