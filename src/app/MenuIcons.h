// The small icons of the main menu's commands.
#pragma once

class QMenuBar;

namespace corvellin {

// Gives every command of the menu bar its icon (found by the items' object
// names; the Effect menu's items each get a painted card of their own hue).
// Check items (the languages) and separators stay without one.
void SetMenuIcons(QMenuBar* bar);

// The freedesktop icon name a command's icon is taken from, empty where the
// naming has none and our own picture is painted.
const char* MenuIconThemeName(const char* itemName);

}  // namespace corvellin
