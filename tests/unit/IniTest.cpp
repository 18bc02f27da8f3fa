#include <gtest/gtest.h>

#include "settings/Ini.h"

namespace corvellin {
namespace {

TEST(Ini, ReadsWithTheProfileRules) {
    const IniFile ini = IniFile::Parse(
        "\xEF\xBB\xBF[Info]\r\n"
        "Language = Deutsch \r\n"
        "[string]\n"
        "&Open=\"  &Oeffnen  \"\n"
        "&SAVE='Speichern'\n"
        "Half=\"quoted only at the start\n"
        "&Open=second value is ignored\n"
        "; a comment=\n"
        "no equals sign here\n"
        "Empty=\n"
        "[Info]\n"
        "Language=ignored: the first section of a name wins\n");
    EXPECT_EQ(ini.ReadString("info", "LANGUAGE"), "Deutsch");
    EXPECT_EQ(ini.ReadString("String", "&open"), "  &Oeffnen  ");
    EXPECT_EQ(ini.ReadString("String", "&Save"), "Speichern");
    EXPECT_EQ(ini.ReadString("String", "Half"), "\"quoted only at the start");
    EXPECT_EQ(ini.ReadString("String", "Empty"), "");
    EXPECT_EQ(ini.ReadString("String", "; a comment"), std::nullopt);
    EXPECT_EQ(ini.ReadString("Missing", "&Open"), std::nullopt);
    EXPECT_EQ(ini.ReadString("String", "Absent", "fallback"), "fallback");
}

TEST(Ini, ValuesAreCutAt2047Characters) {
    const IniFile ini = IniFile::Parse("[S]\nK=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(ini.ReadString("S", "K")->size(), 2047u);
}

TEST(Ini, IntegersBooleansAndReals) {
    const IniFile ini = IniFile::Parse(
        "[PrintPrew]\nTopUnit=0x3\nLeftUnit=3.0\nCenter=yes\nFitPage=2\nBorderBox=0\nTop=abc\nLeft=\n"
        "Scale=12.5\nWidthUnit=-7\nHeightUnit=0x\nA=2,54\nB= 1e3 \nC=.5\nD=-0.25E-1\nE=1.2.3\nF=inf\n"
        "G=+2.5\nH=+\nI=+-1\nJ=-+1\n");
    EXPECT_EQ(ini.ReadInteger("PrintPrew", "TopUnit", 1), 3);
    EXPECT_EQ(ini.ReadInteger("PrintPrew", "LeftUnit", 1), 1);
    EXPECT_EQ(ini.ReadInteger("PrintPrew", "WidthUnit", 1), -7);
    EXPECT_EQ(ini.ReadInteger("PrintPrew", "HeightUnit", 1), 1);
    EXPECT_TRUE(ini.ReadBool("PrintPrew", "Center", true));
    EXPECT_FALSE(ini.ReadBool("PrintPrew", "Center", false));
    EXPECT_TRUE(ini.ReadBool("PrintPrew", "FitPage", false));
    EXPECT_FALSE(ini.ReadBool("PrintPrew", "BorderBox", true));
    EXPECT_EQ(ini.ReadReal("PrintPrew", "Top", 20), 20);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "Left", 20), 20);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "Scale", 100), 12.5);
    // A comma is read only where it is the locale's separator; a point always.
    EXPECT_EQ(ini.ReadReal("PrintPrew", "A", 20, ','), 2.54);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "A", 20, '.'), 20);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "Scale", 100, ','), 12.5);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "B", 0), 1000);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "C", 0), 0.5);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "D", 0), -0.025);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "E", 7), 7);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "F", 7), 7);
    // A plus sign is read as the integers read it; a sign alone or twice is no number.
    EXPECT_EQ(ini.ReadReal("PrintPrew", "G", 20), 2.5);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "H", 20), 20);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "I", 20), 20);
    EXPECT_EQ(ini.ReadReal("PrintPrew", "J", 20), 20);
}

TEST(Ini, IntegerTextRules) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0", 0}, {"-1", -1}, {"+5", 5}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt}, {"0x7fffffff", INT32_MAX}, {"0XFFFFFFFF", -1}, {"0x100000000", std::nullopt},
        {"0x", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt}, {"1 2", std::nullopt}, {"12a", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseIniInteger(text), expected) << text;
}

TEST(Ini, RealsAreWrittenShortestWithAPoint) {
    const std::pair<double, const char*> cases[] = {
        {20.0, "20"}, {12.5, "12.5"}, {2.54, "2.54"}, {-0.1, "-0.1"}, {100, "100"},
        {1.0 / 3, "0.333333333333333"}, {1e20, "1e+20"}, {0.00001, "1e-05"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatIniReal(value), text) << value;
    for (const double value : {2.54, 0.395833333333333, 123456.789, 1e-7})
        EXPECT_EQ(ParseIniReal(FormatIniReal(value)), std::stod(FormatIniReal(value)));
}

TEST(Ini, WritingKeepsTheOrderOfWritingAndReplacesInPlace) {
    IniFile ini;
    ini.WriteReal("PrintPrew", "Top", 20);
    ini.WriteInteger("PrintPrew", "TopUnit", 1);
    ini.WriteInteger("Language", "index", -1);
    ini.WriteBool("printprew", "Center", true);
    ini.WriteReal("PrintPrew", "TOP", 2.5);
    EXPECT_EQ(ini.Serialize(), "[PrintPrew]\nTop=2.5\nTopUnit=1\nCenter=1\n[Language]\nindex=-1\n");
    EXPECT_EQ(IniFile::Parse(ini.Serialize()).ReadReal("PrintPrew", "Top", 0), 2.5);
}

}  // namespace
}  // namespace corvellin
