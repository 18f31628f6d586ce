#include "ui/AppIcon.h"

namespace kelm {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/kelm/icons/kelm-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace kelm
