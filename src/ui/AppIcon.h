// The program's icon: window, About box and desktop entry share one drawing.
#pragma once

#include <QIcon>

namespace kelm {

QIcon AppIcon();

}  // namespace kelm
