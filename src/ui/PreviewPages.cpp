#include "ui/PreviewPages.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QSettings>

#include "core/Profile.h"

namespace kelm {

namespace {

constexpr char kKey[] = "Settings/PreviewPages";

}  // namespace

int StoredPreviewPages() {
    bool number = false;
    const int pages = QSettings(kProfileOrganisation, kProfileApplication)
                          .value(QLatin1StringView(kKey))
                          .toInt(&number);
    return number && pages == 2 ? 2 : 1;
}

void ShowStoredPreviewPages(QPrintPreviewDialog& dialog) {
    // Through the dialog's own button, so that its toolbar shows the choice.
    const char* name = StoredPreviewPages() == 2 ? "facingModeAction" : "singleModeAction";
    if (auto* mode = dialog.findChild<QAction*>(QLatin1StringView(name))) {
        mode->trigger();
    }
}

void StorePreviewPages(const QPrintPreviewDialog& dialog) {
    const auto* preview = dialog.findChild<QPrintPreviewWidget*>();
    if (preview == nullptr) {
        return;
    }
    int pages = 0;
    switch (preview->viewMode()) {
        case QPrintPreviewWidget::SinglePageView:
            pages = 1;
            break;
        case QPrintPreviewWidget::FacingPagesView:
            pages = 2;
            break;
        case QPrintPreviewWidget::AllPagesView:
            return;
    }
    QSettings(kProfileOrganisation, kProfileApplication).setValue(QLatin1StringView(kKey), pages);
}

}  // namespace kelm
