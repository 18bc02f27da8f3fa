// Every character of every shipped translation must be drawn from a real glyph
// in the window's font, through Qt's own font matching and fallback: a missing
// font shows empty boxes in place of a whole language.
#include <QApplication>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "settings/Ini.h"

namespace corvellin {
namespace {

// The characters of text that come out as the font's missing-glyph box. Each
// distinct character is laid out alone, so a box is tied to its character.
std::set<char32_t> MissingGlyphs(const QString& text, const QFont& font) {
    std::set<char32_t> missing;
    const QList<uint> codes = text.toUcs4();
    for (const uint code : std::set<uint>(codes.begin(), codes.end())) {
        const char32_t c = code;
        const QString one = QString::fromUcs4(&c, 1);
        if (one.trimmed().isEmpty() || QChar::category(code) == QChar::Other_Control) continue;
        QTextLayout layout(one, font);
        layout.beginLayout();
        while (layout.createLine().isValid()) {
        }
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        bool drawn = !runs.isEmpty();
        for (const QGlyphRun& run : runs)
            for (const quint32 glyph : run.glyphIndexes()) drawn = drawn && glyph != 0;
        if (!drawn) missing.insert(c);
    }
    return missing;
}

TEST(FontCoverage, EveryShippedTranslationDrawsWithRealGlyphs) {
    const std::string folder = std::string(CORVELLIN_BIN_DIR) + "/Languages";
    const QFont font = QApplication::font();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".ini") continue;
        ++files;
        const IniFile ini = IniFile::Load(entry.path().string());
        QString text;
        for (const auto& section : ini.sections())
            for (const auto& [key, value] : section.entries) text += QString::fromStdString(value) + QLatin1Char('\n');
        const std::set<char32_t> missing = MissingGlyphs(text, font);
        std::string shown;
        for (char32_t c : missing) shown += QString::fromUcs4(&c, 1).toStdString() + " ";
        EXPECT_TRUE(missing.empty()) << entry.path().filename().string() << ": " << missing.size()
                                     << " characters without a glyph in " << font.family().toStdString()
                                     << " or its fallbacks: " << shown;
    }
    EXPECT_GE(files, 2) << "no language files in " << folder;
}

// The check itself must see a box: a private-use character no font draws.
TEST(FontCoverage, SeesAMissingGlyph) {
    EXPECT_FALSE(MissingGlyphs(QString::fromUcs4(U"\U0010FFFD", 1), QApplication::font()).empty());
}

}  // namespace
}  // namespace corvellin
