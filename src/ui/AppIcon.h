// The program's icons: its own (window, About box and desktop entry share one
// drawing) and the drawn toolbar pictograms for desktops without an icon theme.
#pragma once

#include <QIcon>

namespace kelm {

QIcon AppIcon();
QIcon PrinterIcon();
QIcon AboutIcon();

}  // namespace kelm
