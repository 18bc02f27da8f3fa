// The catalogue of every translatable text of the interface, per window. Each
// key is the English text that section "String" of a language file translates;
// the built-in text is what a window shows without a translation. The tables
// keep the order in which each window sets its captions.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace corvellin {

struct CaptionKey {
    const char* key;
    const char* builtIn;
};

enum class CaptionWindow { Main, PrintPreview, WallpaperOpt, Preview, Update };

inline constexpr std::array<CaptionWindow, 5> kCaptionWindows = {
    CaptionWindow::Main, CaptionWindow::PrintPreview, CaptionWindow::WallpaperOpt, CaptionWindow::Preview,
    CaptionWindow::Update};

// The keys of one window, in the order in which it sets them.
std::span<const CaptionKey> CaptionKeys(CaptionWindow window);

// Every key of every window once (keys compared without case, as the language
// files compare them), in window order, each at its first appearance. Texts
// shared by several windows ("&OK", "&Cancel", "&Print...") are one key.
std::vector<CaptionKey> AllCaptionKeys();

// The window's class name (TMainForm, TPrintPreviewForm, ...), for messages
// and for the comments of the translation template.
const char* CaptionWindowName(CaptionWindow window);

}  // namespace corvellin
