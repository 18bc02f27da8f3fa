#include "CaptionCatalog.h"

#include "Ini.h"

namespace corvellin {
namespace {

// Every key is also its built-in text, except the two Light buttons, whose
// built-in captions underline two letters while the key underlines one.
constexpr CaptionKey kMainControls[] = {
    {"&Open", "&Open"},
    {"&Save", "&Save"},
    {"&WallPaper", "&WallPaper"},
    {"&Preset", "&Preset"},
    {"&Sketch", "&Sketch"},
    {"&LightA", "&LightA"},
    {"Light&B", "&Light&B"},
    {"Light&C", "&Light&C"},
    {"&Star", "&Star"},
    {"&Amazing", "&Amazing"},
    {"&Water", "&Water"},
    {"&Dream", "&Dream"},
    {"&Whether", "&Whether"},
    {"&Color", "&Color"},
    {"&Art", "&Art"},
    {"&Texture", "&Texture"},
    {"&Edge", "&Edge"},
    {"&Frame", "&Frame"},
    {"&File", "&File"},
    {"P&aper Settings...", "P&aper Settings..."},
    {"Print Pre&view...", "Print Pre&view..."},
    {"&Print...", "&Print..."},
    {"E&xit", "E&xit"},
    {"Set &Wallpaper", "Set &Wallpaper"},
    {"&Edit", "&Edit"},
    {"&UnDo", "&UnDo"},
    {"&Redo", "&Redo"},
    {"&Apply", "&Apply"},
    {"&View", "&View"},
    {"Pre&view", "Pre&view"},
    {"&Effect", "&Effect"},
    {"&Help", "&Help"},
    {"Help &Contents", "Help &Contents"},
    {"Check For &Updates", "Check For &Updates"},
    {"&About...", "&About..."},
    {"Source Picture", "Source Picture"},
    {"Preview (Double click to full screen)", "Preview (Double click to full screen)"},
    {"Click the small photo to preview and apply this effection",
     "Click the small photo to preview and apply this effection"},
    // The question before unsaved work would be dropped (%1: the file's name),
    // and the captions of its Save, Don't Save and Cancel buttons.
    {"Save changes to %1 before closing?", "Save changes to %1 before closing?"},
    {"&Don't Save", "&Don't Save"},
    {"&Cancel", "&Cancel"},
    // The status panel's "Open file: " before the path, the file dialogs'
    // titles and the messages of the window's commands.
    {kOpenFileText, kOpenFileText},
    {kOpenDialogTitle, kOpenDialogTitle},
    {kSaveDialogTitle, kSaveDialogTitle},
    {kNothingToSaveText, kNothingToSaveText},
    {kNothingToPrintText, kNothingToPrintText},
    {kNoWallpaperPictureText, kNoWallpaperPictureText},
    {kNoPreviewPictureText, kNoPreviewPictureText},
    {kNoPrinterText, kNoPrinterText},
    {kNoPrintableAreaText, kNoPrintableAreaText},
    {kPrintFailedText, kPrintFailedText},
    {kDropOneFileText, kDropOneFileText},
    {kDropNotAFileText, kDropNotAFileText},
    {kRestoreQuestionText, kRestoreQuestionText},
    {kUnusableRecoveryText, kUnusableRecoveryText},
    {kRecoveryWriteFailedText, kRecoveryWriteFailedText},
    {kUnexpectedErrorText, kUnexpectedErrorText},
    // The accessible names of the controls that show no text of their own.
    {"Menu bar", "Menu bar"},
    {"Tool bar", "Tool bar"},
    {"Effect variations", "Effect variations"},
    {"Effect value", "Effect value"},
    {"Edge color", "Edge color"},
    {"Progress", "Progress"},
    {"Status bar", "Status bar"},
};

// The names of the variations, categories 1 to 15 in order, ten each: the
// thumbnails' tooltips and accessible names, and (untranslated) what
// corvellin-fx list prints. The mask categories name what their shipped art
// shows (tools/maskgen paints it).
constexpr CaptionKey kVariationNames[] = {
    // 1 Preset
    {"warm sunset light", "warm sunset light"},
    {"cool morning light", "cool morning light"},
    {"golden glow", "golden glow"},
    {"rainbow light leak", "rainbow light leak"},
    {"magenta and teal", "magenta and teal"},
    {"amber haze", "amber haze"},
    {"film light leak", "film light leak"},
    {"pastel clouds", "pastel clouds"},
    {"spotlight", "spotlight"},
    {"lens flare", "lens flare"},
    // 2 Color
    {"light green", "light green"},
    {"lime", "lime"},
    {"sky blue", "sky blue"},
    {"azure", "azure"},
    {"rose", "rose"},
    {"red", "red"},
    {"lavender", "lavender"},
    {"blue", "blue"},
    {"amber", "amber"},
    {"deep blue", "deep blue"},
    // 3 Sketch
    {"grey pencil on white", "grey pencil on white"},
    {"red on white", "red on white"},
    {"green on white", "green on white"},
    {"blue on white", "blue on white"},
    {"magenta on white", "magenta on white"},
    {"dark blue on pale yellow", "dark blue on pale yellow"},
    {"dark red on pale cyan", "dark red on pale cyan"},
    {"dark green on pale pink", "dark green on pale pink"},
    {"dark blue on pale green", "dark blue on pale green"},
    {"colour pencil", "colour pencil"},
    // 4 Art
    {"emboss, lower left", "emboss, lower left"},
    {"emboss, upper left", "emboss, upper left"},
    {"scatter", "scatter"},
    {"equalise histogram", "equalise histogram"},
    {"blur", "blur"},
    {"mosaic", "mosaic"},
    {"contrast", "contrast"},
    {"brightness", "brightness"},
    {"saturation", "saturation"},
    {"negative", "negative"},
    // 5 LightA
    {"sun flare", "sun flare"},
    {"rays of light", "rays of light"},
    {"three spotlights", "three spotlights"},
    {"neon tubes", "neon tubes"},
    {"candle glows", "candle glows"},
    {"concert beams", "concert beams"},
    {"anamorphic streaks", "anamorphic streaks"},
    {"aurora", "aurora"},
    {"starburst", "starburst"},
    {"sunlight through blinds", "sunlight through blinds"},
    // 6 Star
    {"night sky", "night sky"},
    {"big twinkles", "big twinkles"},
    {"golden sparkles", "golden sparkles"},
    {"glitter dust", "glitter dust"},
    {"milky way", "milky way"},
    {"shooting stars", "shooting stars"},
    {"star cluster", "star cluster"},
    {"constellations", "constellations"},
    {"sparkle spiral", "sparkle spiral"},
    {"cross-screen stars", "cross-screen stars"},
    // 7 Amazing
    {"double rainbow", "double rainbow"},
    {"colour swirl", "colour swirl"},
    {"fireworks", "fireworks"},
    {"prism fan", "prism fan"},
    {"plasma veins", "plasma veins"},
    {"psychedelic rings", "psychedelic rings"},
    {"light-painting ribbons", "light-painting ribbons"},
    {"flames", "flames"},
    {"electric arcs", "electric arcs"},
    {"kaleidoscope", "kaleidoscope"},
    // 8 Dream
    {"pastel bokeh", "pastel bokeh"},
    {"ethereal glow", "ethereal glow"},
    {"colourful discs", "colourful discs"},
    {"floating hearts", "floating hearts"},
    {"lavender mist", "lavender mist"},
    {"pastel frame", "pastel frame"},
    {"soap bubbles", "soap bubbles"},
    {"golden bokeh", "golden bokeh"},
    {"pastel sunbeams", "pastel sunbeams"},
    {"fireflies", "fireflies"},
    // 9 Whether
    {"light rain", "light rain"},
    {"driving rain", "driving rain"},
    {"snowfall", "snowfall"},
    {"blizzard", "blizzard"},
    {"low fog", "low fog"},
    {"lightning", "lightning"},
    {"sun rays through clouds", "sun rays through clouds"},
    {"rainbow in drizzle", "rainbow in drizzle"},
    {"morning mist", "morning mist"},
    {"frost", "frost"},
    // 10 Texture
    {"paper", "paper"},
    {"canvas", "canvas"},
    {"linen", "linen"},
    {"brick", "brick"},
    {"wood grain", "wood grain"},
    {"crackle", "crackle"},
    {"stone", "stone"},
    {"burlap", "burlap"},
    {"grunge", "grunge"},
    {"halftone", "halftone"},
    // 11 Edge
    {"soft oval", "soft oval"},
    {"rounded rectangle", "rounded rectangle"},
    {"torn paper", "torn paper"},
    {"brush strokes", "brush strokes"},
    {"wavy edge", "wavy edge"},
    {"perforated stamp", "perforated stamp"},
    {"heart", "heart"},
    {"cloud", "cloud"},
    {"spray paint", "spray paint"},
    {"film strip", "film strip"},
    // 12 Frame
    {"carved wood", "carved wood"},
    {"ornate gold", "ornate gold"},
    {"brushed silver", "brushed silver"},
    {"film strip", "film strip"},
    {"instant photo", "instant photo"},
    {"passe-partout", "passe-partout"},
    {"bamboo", "bamboo"},
    {"riveted steel", "riveted steel"},
    {"marble", "marble"},
    {"stitched leather", "stitched leather"},
    // 13 Water
    {"pool caustics", "pool caustics"},
    {"ripples from a drop", "ripples from a drop"},
    {"ripples from drops", "ripples from drops"},
    {"drops on glass", "drops on glass"},
    {"light on waves", "light on waves"},
    {"underwater shafts", "underwater shafts"},
    {"sun glitter", "sun glitter"},
    {"rain on a pond", "rain on a pond"},
    {"rising bubbles", "rising bubbles"},
    {"wet glass", "wet glass"},
    // 14 LightB
    {"orange leak", "orange leak"},
    {"violet leak", "violet leak"},
    {"lime leak", "lime leak"},
    {"pink and gold leaks", "pink and gold leaks"},
    {"rainbow band", "rainbow band"},
    {"burnt film edges", "burnt film edges"},
    {"prism streak", "prism streak"},
    {"sunrise glow", "sunrise glow"},
    {"cyan and magenta leaks", "cyan and magenta leaks"},
    {"blotchy leaks", "blotchy leaks"},
    // 15 LightC
    {"city lights", "city lights"},
    {"fairy lights", "fairy lights"},
    {"festive bokeh", "festive bokeh"},
    {"hexagonal bokeh", "hexagonal bokeh"},
    {"lens halo", "lens halo"},
    {"car light trails", "car light trails"},
    {"neon grid", "neon grid"},
    {"laser beams", "laser beams"},
    {"stage lights", "stage lights"},
    {"zoom burst", "zoom burst"},
};

template <std::size_t A, std::size_t B>
constexpr std::array<CaptionKey, A + B> Joined(const CaptionKey (&a)[A], const CaptionKey (&b)[B]) {
    std::array<CaptionKey, A + B> all{};
    for (std::size_t i = 0; i < A; ++i) all[i] = a[i];
    for (std::size_t i = 0; i < B; ++i) all[A + i] = b[i];
    return all;
}

// The main window sets its controls' captions, then its thumbnails' names.
constexpr auto kMain = Joined(kMainControls, kVariationNames);

constexpr CaptionKey kPrintPreview[] = {
    {"Print", "Print"},
    {"Position", "Position"},
    {"Top:", "Top:"},
    {"Left:", "Left:"},
    {"Center Image", "Center Image"},
    {"Print Size", "Print Size"},
    {"Scale:", "Scale:"},
    {"Scale to Fit Page", "Scale to Fit Page"},
    {"Height:", "Height:"},
    {"Width:", "Width:"},
    {"&Print...", "&Print..."},
    {"&Cancel", "&Cancel"},
    {"&OK", "&OK"},
    {"&Page Settings", "&Page Settings"},
    {"Can not find any printer.", "Can not find any printer."},
    {"Height must be float.", "Height must be float."},
    {"Left must be float.", "Left must be float."},
    {"Top must be float.", "Top must be float."},
    {"Width must be float.", "Width must be float."},
    {"Scale value must be float.", "Scale value must be float."},
    {"Value must be float.", "Value must be float."},
    {"Pixel", "Pixel"},
    {"Inch", "Inch"},
    {"centimeter", "centimeter"},
    {"millimeter", "millimeter"},
};

constexpr CaptionKey kWallpaperOpt[] = {
    {"Desktop Wallpaper Option", "Desktop Wallpaper Option"},
    {"Center", "Center"},
    {"Tile", "Tile"},
    {"Stretch", "Stretch"},
    {"&OK", "&OK"},
    {"&Cancel", "&Cancel"},
    {"Please select an option for wallpaper!", "Please select an option for wallpaper!"},
    // The outcomes of the command that the dialog opens.
    {kWallpaperNotSetText, kWallpaperNotSetText},
    {kWallpaperStyleNotSetText, kWallpaperStyleNotSetText},
    {kWallpaperCancelledText, kWallpaperCancelledText},
    {kPortalFailedText, kPortalFailedText},
    {kNoSessionBusText, kNoSessionBusText},
    {kMemoryOnlyStoreText, kMemoryOnlyStoreText},
    {kNoWallpaperSettingsText, kNoWallpaperSettingsText},
    {kSettingRefusesValueText, kSettingRefusesValueText},
    {kSettingLockedText, kSettingLockedText},
    {kChangeNotKeptText, kChangeNotKeptText},
    {kNoXfconfQueryText, kNoXfconfQueryText},
    {kNoXfceMonitorText, kNoXfceMonitorText},
    {kXfconfRefusedText, kXfconfRefusedText},
    {kUnknownDesktopText, kUnknownDesktopText},
    {kNoFileAddressText, kNoFileAddressText},
};

constexpr CaptionKey kPreview[] = {
    {"Preview", "Preview"},
    {"DClick left mouse button or press 'Esc' key to close", "DClick left mouse button or press 'Esc' key to close"},
};

constexpr CaptionKey kUpdate[] = {
    {"Checking for new version", "Checking for new version"},
    {"&Cancel", "&Cancel"},
    {"Update", "Update"},
    {"This is the lastest version!", "This is the lastest version!"},
    {"Thank you for your support!", "Thank you for your support!"},
    {"The lastest version is", "The lastest version is"},
    {"do you want to download it?", "do you want to download it?"},
    {"Find a new version", "Find a new version"},
    {"Fail to connect Internet.", "Fail to connect Internet."},
    {"Please try later!", "Please try later!"},
    {"Fail to get update informate", "Fail to get update informate"},
    {kUpdateInfoFromText, kUpdateInfoFromText},
    {kCannotOpenAddressText, kCannotOpenAddressText},
};

}  // namespace

std::span<const CaptionKey> CaptionKeys(CaptionWindow window) {
    switch (window) {
        case CaptionWindow::Main: return kMain;
        case CaptionWindow::PrintPreview: return kPrintPreview;
        case CaptionWindow::WallpaperOpt: return kWallpaperOpt;
        case CaptionWindow::Preview: return kPreview;
        case CaptionWindow::Update: return kUpdate;
    }
    return {};
}

std::span<const CaptionKey> VariationNameKeys() { return kVariationNames; }

std::vector<CaptionKey> AllCaptionKeys() {
    std::vector<CaptionKey> all;
    for (const CaptionWindow window : kCaptionWindows)
        for (const CaptionKey& entry : CaptionKeys(window)) {
            bool known = false;
            for (const CaptionKey& seen : all) known = known || EqualsIgnoringCase(seen.key, entry.key);
            if (!known) all.push_back(entry);
        }
    return all;
}

const char* CaptionWindowName(CaptionWindow window) {
    switch (window) {
        case CaptionWindow::Main: return "TMainForm";
        case CaptionWindow::PrintPreview: return "TPrintPreviewForm";
        case CaptionWindow::WallpaperOpt: return "TWallpaperOptForm";
        case CaptionWindow::Preview: return "TPreviewForm";
        case CaptionWindow::Update: return "TUpdateForm";
    }
    return "";
}

}  // namespace corvellin
