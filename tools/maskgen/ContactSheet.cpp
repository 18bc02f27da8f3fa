#include "ContactSheet.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "Generator.h"
#include "Visibility.h"
#include "effects/Catalogue.h"
#include "app/Fit.h"
#include "effects/MaskFile.h"
#include "picture/Error.h"
#include "picture/PictureFile.h"

namespace maskgen {

namespace {

// 5 x 7 glyphs, one string of 35 cells per character ('#' = ink).
struct Glyph {
    char ch;
    const char* rows;
};
constexpr Glyph kGlyphs[] = {
    {'0', " ### #   ##  ### # ###  ##   # ### "},
    {'1', "  #   ##    #    #    #    #   ### "},
    {'2', " ### #   #    #   #   #   #   #####"},
    {'3', "#####   #   #     #     ##   # ### "},
    {'4', "   #   ##  # # #  # #####   #    # "},
    {'5', "######    ####     #    ##   # ### "},
    {'6', "  ##  #   #    #### #   ##   # ### "},
    {'7', "#####    #   #   #   #    #    #   "},
    {'8', " ### #   ##   # ### #   ##   # ### "},
    {'9', " ### #   ##   # ####    #   #  ##  "},
    {'A', " ### #   ##   #######   ##   ##   #"},
    {'B', "#### #   ##   ##### #   ##   ##### "},
    {'C', " ### #   ##    #    #    #   # ### "},
    {'D', "#### #   ##   ##   ##   ##   ##### "},
    {'E', "######    #    #### #    #    #####"},
    {'F', "######    #    #### #    #    #    "},
    {'G', " ### #   ##    # ####   ##   # ####"},
    {'H', "#   ##   ##   #######   ##   ##   #"},
    {'I', " ###   #    #    #    #    #   ### "},
    {'J', "  ###   #    #    #    # #  #  ##  "},
    {'K', "#   ##  # # #  ##   # #  #  # #   #"},
    {'L', "#    #    #    #    #    #    #####"},
    {'M', "#   ### ### # ## # ##   ##   ##   #"},
    {'N', "#   ##   ###  ## # ##  ###   ##   #"},
    {'O', " ### #   ##   ##   ##   ##   # ### "},
    {'P', "#### #   ##   ##### #    #    #    "},
    {'Q', " ### #   ##   ##   ## # ##  #  ## #"},
    {'R', "#### #   ##   ##### # #  #  # #   #"},
    {'S', " #####    #     ###     #    ##### "},
    {'T', "#####  #    #    #    #    #    #  "},
    {'U', "#   ##   ##   ##   ##   ##   # ### "},
    {'V', "#   ##   ##   ##   ##   # # #   #  "},
    {'W', "#   ##   ##   ## # ## # ## # # # # "},
    {'X', "#   ##   # # #   #   # # #   ##   #"},
    {'Y', "#   ##   # # #   #    #    #    #  "},
    {'Z', "#####    #   #   #   #   #    #####"},
    {'-', "                ###                "},
    {':', "      ##   ##        ##   ##       "},
    {'.', "                          ##   ##  "},
    {'/', "    #    #   #   #   #   #    #    "},
    {'*', "          #   # # #   #   # # #   #"},
};

const char* GlyphRows(char ch) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return g.rows;
    return nullptr;
}

void FillRect(corvellin::Picture& p, int x0, int y0, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (int y = std::max(0, y0); y < std::min(p.height(), y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(p.width(), x0 + w); ++x) {
            std::uint8_t* px = p.row(y) + 3 * x;
            px[0] = b, px[1] = g, px[2] = r;
        }
}

void Blit(corvellin::Picture& sheet, const corvellin::Picture& cell, int x0, int y0) {
    for (int y = 0; y < cell.height(); ++y)
        std::copy(cell.row(y), cell.row(y) + cell.stride(), sheet.row(y0 + y) + 3 * x0);
}

corvellin::Picture LoadDefault(const std::string& picDir) {
    return ReadPicture((std::filesystem::path(picDir) / "default.jpg").string());
}

}  // namespace

void DrawText(corvellin::Picture& picture, int x, int y, const std::string& text, int scale, std::uint8_t r,
              std::uint8_t g, std::uint8_t b) {
    for (char ch : text) {
        if (const char* rows = GlyphRows(ch)) {
            const std::size_t cells = std::char_traits<char>::length(rows);
            for (std::size_t i = 0; i < cells && i < 35; ++i)
                if (rows[i] == '#')
                    FillRect(picture, x + static_cast<int>(i % 5) * scale, y + static_cast<int>(i / 5) * scale, scale,
                             scale, r, g, b);
        }
        x += 6 * scale;
    }
}

void WriteContactSheet(const std::string& file, const std::string& picDir, const std::string& pictureFile,
                       int cellWidth, int cellHeight) {
    if (cellWidth < 16 || cellHeight < 16 || cellWidth > 2000 || cellHeight > 2000)
        throw corvellin::Error("A contact sheet cell is 16 to 2000 pixels on each side.");
    const corvellin::PictureFormat format = corvellin::PictureFormatOfPath(file);
    if (format == corvellin::PictureFormat::Unknown)
        throw corvellin::Error("A contact sheet is written as .jpg, .jpeg or .bmp: \"" + file + "\".");
    const corvellin::EffectContext context{picDir, 1u};
    const corvellin::Picture photo = pictureFile.empty() ? LoadDefault(picDir) : ReadPicture(pictureFile);
    const int kCellW = cellWidth, kCellH = cellHeight;
    constexpr int kGap = 6, kLabelW = 150, kHeaderH = 36;
    const int rows = static_cast<int>(kArtCategories.size());
    corvellin::Picture sheet(kLabelW + 10 * (kCellW + kGap) + kGap, kHeaderH + rows * (kCellH + kGap) + kGap);
    FillRect(sheet, 0, 0, sheet.width(), sheet.height(), 38, 38, 42);
    // Cells of the thumbnail size are the editor's own thumbnails: the
    // picture fitted into the pane first, then stretched.
    const corvellin::Picture base =
        kCellW == corvellin::kThumbnailWidth && kCellH == corvellin::kThumbnailHeight
            ? EditorView(photo, ViewSize::Thumbnail)
            : corvellin::StretchNearest(photo, kCellW, kCellH);
    const int labelScale = kCellH >= 120 ? 3 : 2;
    for (int v = 0; v < 10; ++v)
        DrawText(sheet, kLabelW + kGap + v * (kCellW + kGap) + kCellW / 2 - 9, 10, std::to_string(v + 1), 3, 230, 230,
                 230);
    for (int row = 0; row < rows; ++row) {
        const int category = kArtCategories[static_cast<std::size_t>(row)];
        const int y = kHeaderH + row * (kCellH + kGap);
        const corvellin::CategoryInfo* info = corvellin::FindCategory(category);
        DrawText(sheet, 10, y + kCellH / 2 - 8 * labelScale, info ? info->name : "?", labelScale, 240, 220, 160);
        DrawText(sheet, 10, y + kCellH / 2 + 2 * labelScale, std::to_string(category), labelScale, 170, 170, 170);
        for (int v = 0; v < 10; ++v) {
            corvellin::Picture cell = base;
            ApplyVariation(context, cell, category, v);
            Blit(sheet, cell, kLabelW + kGap + v * (kCellW + kGap), y);
        }
    }
    corvellin::SavePictureFile(file, sheet, format);
}

void MeasureThumbnails(const std::string& picDir) {
    using Clock = std::chrono::steady_clock;
    const corvellin::EffectContext context{picDir, 1u};
    const corvellin::Picture photo = LoadDefault(picDir);
    const corvellin::Picture thumbBase = corvellin::StretchNearest(photo, 150, 150);
    double total = 0;
    for (int category : kArtCategories) {
        double best = 1e9;
        for (int repeat = 0; repeat < 3; ++repeat) {
            const auto start = Clock::now();
            for (int v = 0; v < 10; ++v) {
                corvellin::Picture thumb = thumbBase;
                ApplyVariation(context, thumb, category, v);
            }
            best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const corvellin::Picture mask = corvellin::LoadMaskFile(corvellin::MaskFilePath(picDir, category, 1));
        std::printf("category %2d %-8s mask %dx%d  ten thumbnails %.1f ms\n", category,
                    corvellin::FindCategory(category)->name, mask.width(), mask.height(), best);
        total += best;
    }
    std::printf("all %zu categories: %.1f ms\n", kArtCategories.size(), total);
    corvellin::Picture large = corvellin::StretchNearest(photo, 6000, 4000);
    const auto start = Clock::now();
    ApplyVariation(context, large, 6, 1);
    std::printf("one 6000x4000 Star render: %.1f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
}

}  // namespace maskgen
