// The one look of every window: the Fusion style with our palette, font and
// style sheet, set on the application so that every window and dialog shares it.
#pragma once

class QApplication;

namespace corvellin {

void ApplyTheme(QApplication& application);

}  // namespace corvellin
