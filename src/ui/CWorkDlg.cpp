#include "ui/CWorkDlg.h"

#include "ui/WindowPlacement.h"

namespace kelm {

void CWorkDlg::Present() {
    BringToFront(this);
}

}  // namespace kelm
