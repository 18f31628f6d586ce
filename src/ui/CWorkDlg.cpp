#include "ui/CWorkDlg.h"

namespace kelm {

void CWorkDlg::Present() {
    show();
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

}  // namespace kelm
