// The dialogs the menu opens. Each dialog fills its slot once, in
// RegisterDialogs; a command whose slot is still empty stays disabled.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

namespace kelm {

struct SharedState;

// Modeless work dialogs: created on first use with the main window as owner,
// from then on only shown and hidden.
enum class WorkDialog { Entry, Processing, Results };
inline constexpr int kWorkDialogCount = 3;

// Modal dialogs: created for each use.
enum class ModalDialog { TitrationParams, LinkCheck };
inline constexpr int kModalDialogCount = 2;

struct WorkDialogSlot {
    // Makes the dialog, owned by `owner`; called once, on the first command.
    std::function<QWidget*(QWidget* owner)> create{};
    // Runs after the menu command has shown the dialog (the results dialog
    // fills its report with the equivalence points). Optional.
    std::function<void(QWidget* dialog)> afterShow{};
    // Runs after a change of decimal separator once the dialog exists. The
    // host shows the results dialog again first (it refills its report in the
    // mode it showed last); any other dialog stays shown or hidden. Optional.
    std::function<void(QWidget* dialog)> onSeparatorChange{};
};

// Creates the dialog with `owner` as owner, runs it modally and destroys it.
using ModalDialogRun = std::function<void(QWidget* owner)>;

class DialogHost {
public:
    explicit DialogHost(SharedState& state) : state_(state) {}

    void Set(WorkDialog which, WorkDialogSlot slot);
    void Set(ModalDialog which, ModalDialogRun run);
    bool Has(WorkDialog which) const;
    bool Has(ModalDialog which) const;

    // The menu command of a work dialog: create it on first use and mark it
    // created in the shared state, show it, restore it when minimised.
    void Show(WorkDialog which, QWidget* owner);

    // The menu command of a modal dialog. The graph is redrawn after the
    // titration parameters close, whichever button closed them.
    void Run(ModalDialog which, QWidget* owner);

    // After "Точка" or "Запятая": refreshes the dialogs that follow the
    // separator, once they exist, and brings back the results window.
    void SeparatorChanged();

    // The dialog once created, else null.
    QWidget* Dialog(WorkDialog which) const;

private:
    bool& CreatedFlag(WorkDialog which);
    void Present(QWidget* dialog);

    SharedState& state_;
    std::array<WorkDialogSlot, kWorkDialogCount> work_{};
    std::array<QPointer<QWidget>, kWorkDialogCount> created_{};
    std::array<ModalDialogRun, kModalDialogCount> modal_{};
};

}  // namespace kelm
