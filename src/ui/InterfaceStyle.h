// The look the program gives Qt's own widgets where the desktop gives none.
#pragma once

class QApplication;
class QStyle;

namespace kelm {

// Qt's Fusion style draws a scroll bar's thumb lighter than its groove, so on
// a desktop without a theme of its own the groove reads as the thumb and every
// scroll bar seems to run backwards. This style draws the thumb darker.
// `base` is the style to draw everything else with; the result owns it.
QStyle* ClearScrollBarStyle(QStyle* base);

// Puts that style in place when the application runs on Fusion.
void ApplyInterfaceStyle(QApplication& app);

}  // namespace kelm
