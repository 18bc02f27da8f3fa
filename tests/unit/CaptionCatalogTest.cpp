#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/CaptionCatalog.h"
#include "settings/Ini.h"
#include "settings/LanguageFiles.h"

namespace corvellin {
namespace {

const std::string kSourceLanguages = std::string(CORVELLIN_SOURCE_DIR) + "/data/Languages/";
const std::string kBinLanguages = std::string(CORVELLIN_BIN_DIR) + "/Languages/";

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Underlined letters: every "&" that is not part of a literal "&&".
int AcceleratorCount(const std::string& text) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') ++i;
            else ++count;
        }
    return count;
}

TEST(CaptionCatalog, TablesPerWindow) {
    const struct { CaptionWindow window; std::size_t size; const char* first; const char* last; } cases[] = {
        {CaptionWindow::Main, 41, "&Open", "&Cancel"},
        {CaptionWindow::PrintPreview, 25, "Print", "millimeter"},
        {CaptionWindow::WallpaperOpt, 7, "Desktop Wallpaper Option", "Please select an option for wallpaper!"},
        {CaptionWindow::Preview, 1, "DClick left mouse button or press 'Esc' key to close",
         "DClick left mouse button or press 'Esc' key to close"},
        {CaptionWindow::Update, 11, "Checking for new version", "Fail to get update informate"},
    };
    for (const auto& c : cases) {
        const auto keys = CaptionKeys(c.window);
        ASSERT_EQ(keys.size(), c.size) << CaptionWindowName(c.window);
        EXPECT_STREQ(keys.front().key, c.first);
        EXPECT_STREQ(keys.back().key, c.last);
        for (const CaptionKey& k : keys) {
            const bool twoLetters = std::strcmp(k.key, "Light&B") == 0 || std::strcmp(k.key, "Light&C") == 0;
            // "Light&B" is built in as "&Light&B".
            std::string expected = k.key;
            if (twoLetters) expected.insert(expected.begin(), '&');
            EXPECT_EQ(k.builtIn, expected);
        }
    }
    // Shared texts are one key; no two keys differ only in letter case.
    const auto all = AllCaptionKeys();
    EXPECT_EQ(all.size(), 80u);
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j) EXPECT_FALSE(EqualsIgnoringCase(all[i].key, all[j].key)) << all[i].key;
}

TEST(CaptionCatalog, EveryKeySurvivesTheIniReader) {
    // A key the reader would change (blanks around it, "=", a comment or section
    // start) could never be found in a language file.
    std::string text = "[String]\n";
    for (const CaptionKey& k : AllCaptionKeys()) {
        EXPECT_EQ(TrimBlanks(k.key), k.key);
        text.append(k.key).append("= x").append(k.key).append(" \n");
    }
    const IniFile file = IniFile::Parse(text);
    ASSERT_EQ(file.sections().size(), 1u);
    const auto all = AllCaptionKeys();
    ASSERT_EQ(file.sections()[0].entries.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(file.sections()[0].entries[i].first, all[i].key);
        EXPECT_EQ(file.ReadString("String", all[i].key), std::string("x").append(all[i].key));
    }
}

struct ShippedFile {
    const char* name;
    const char* displayName;  // empty for the template
};

class ShippedLanguage : public testing::TestWithParam<ShippedFile> {};

TEST_P(ShippedLanguage, HoldsEveryCatalogueKeyAndNothingElse) {
    const ShippedFile shipped = GetParam();
    const std::string path = kSourceLanguages + shipped.name;
    const std::string bytes = ReadBytes(path);
    ASSERT_FALSE(bytes.empty()) << path;
    EXPECT_TRUE(IsValidUtf8(bytes));
    EXPECT_EQ(bytes.find('\r'), std::string::npos);

    const IniFile file = LoadLanguageFile(path);
    EXPECT_EQ(LanguageDisplayName(file), shipped.displayName);
    const bool isTemplate = *shipped.displayName == '\0';
    EXPECT_EQ(IsTemplateLanguageFile(shipped.name), isTemplate);

    for (const CaptionKey& k : AllCaptionKeys()) {
        const auto value = file.ReadString("String", k.key);
        ASSERT_TRUE(value.has_value()) << shipped.name << ": " << k.key;
        if (isTemplate) {
            EXPECT_EQ(*value, "") << k.key;
            continue;
        }
        EXPECT_FALSE(value->empty()) << shipped.name << ": " << k.key;
        EXPECT_EQ(TrimBlanks(*value), *value) << shipped.name << ": " << k.key;
        EXPECT_EQ(AcceleratorCount(*value), AcceleratorCount(k.key)) << shipped.name << ": " << k.key << " -> " << *value;
    }

    // Only the two sections, each key once, and no key the program never asks for.
    ASSERT_EQ(file.sections().size(), 2u);
    EXPECT_TRUE(EqualsIgnoringCase(file.sections()[0].name, "Info"));
    EXPECT_TRUE(EqualsIgnoringCase(file.sections()[1].name, "String"));
    const auto& entries = file.sections()[1].entries;
    EXPECT_EQ(entries.size(), AllCaptionKeys().size());
    const auto all = AllCaptionKeys();
    for (const auto& [key, value] : entries)
        EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const CaptionKey& k) { return k.key == key; }))
            << shipped.name << " holds unknown key " << key;

    // The build puts the same bytes beside the program.
    EXPECT_EQ(ReadBytes(kBinLanguages + shipped.name), bytes) << "bin copy of " << shipped.name;
}

const ShippedFile kShipped[] = {
    {"template.ini", ""},   {"de.ini", "Deutsch"},     {"fr.ini", "Français"},
    {"es.ini", "Español"},  {"it.ini", "Italiano"},    {"pt-BR.ini", "Português (Brasil)"},
    {"zh-CN.ini", "简体中文"}, {"ja.ini", "日本語"},
};

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguage, testing::ValuesIn(kShipped), [](const testing::TestParamInfo<ShippedFile>& param) {
    std::string name = param.param.name;
    name = name.substr(0, name.find('.'));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(CaptionCatalog, ShippedFolderHoldsExactlyTheseFiles) {
    std::vector<std::string> expected;
    for (const ShippedFile& f : kShipped) expected.push_back(f.name);
    std::vector<std::string> listed = ListLanguageFiles(kSourceLanguages);
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
}

}  // namespace
}  // namespace corvellin
