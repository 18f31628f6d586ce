// The main window: menu, toolbar, status bar and the view, and the handlers of
// every menu command.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/SharedState.h"

class QLabel;
class QMenu;
class QPrinter;
class QToolBar;

namespace kelm {

class CKelmDoc;
class CKelmView;
class DialogHost;
class Journal;
class Prompter;
class RecentFiles;

// Every command of the menu and the toolbar.
enum class Command {
    FileNew,
    FileOpen,
    FileSave,
    FileSaveAs,
    FilePrint,
    FilePrintPreview,
    FilePrintSetup,
    AppExit,
    ViewCurve,
    ViewDerivative,
    ZoomIn,
    ZoomOut,
    ZoomWhole,
    ColourSourcePoints,
    ColourInterpolatedCurve,
    ColourEquivalencePoints,
    ViewToolbar,
    ViewStatusBar,
    SeparatorPoint,
    SeparatorComma,
    TitrationParams,
    Processing,
    LinkCheck,
    Entry,
    Results,
    ResultCalc,
    About,
};
inline constexpr int kCommandCount = static_cast<int>(Command::About) + 1;

// The questions the commands put to the user through standard dialogs; tests
// replace them with scripted answers.
struct FrameChoosers {
    // The file to open, or empty when cancelled.
    std::function<QString(QWidget* owner)> openFile;
    // The file to save as (suggestion: the current name), or empty when cancelled.
    std::function<QString(QWidget* owner, const QString& suggestion)> saveFile;
    // The colour chosen, starting from black; nothing when cancelled.
    std::function<std::optional<Rgb>(QWidget* owner)> colour;
};

class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(SharedState& state, CKelmDoc& doc, DialogHost& dialogs, RecentFiles& recent,
               Prompter& prompter, Journal& journal, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QAction* Action(Command command) const { return actions_[static_cast<int>(command)]; }
    FrameChoosers& Choosers() { return choosers_; }
    CKelmView* View() const { return view_; }
    QToolBar* ToolBar() const { return toolBar_; }

    // The recent-file entries as the "&Файл" menu shows them now; with an empty
    // list, the one disabled item "Ранее загруженные файлы".
    QList<QAction*> RecentFileActions() const { return recentActions_; }

    // Opens a file as "&Открыть..." does after its dialog.
    bool OpenFile(const QString& path);

    // The submenu of unsaved titrations in "&Файл", filled as it opens.
    QMenu* UnsavedMenu() const { return unsavedMenu_; }

    // Shows, or takes away, the status-bar line saying that the journal of
    // unsaved titrations cannot be written: in sight whenever no prompt is.
    void ShowJournalTrouble(bool failing);
    QLabel* JournalTroubleLabel() const { return journalTrouble_; }

    // The status bar's readout of the place under the cursor on the graph.
    QLabel* ReadoutLabel() const { return readout_; }

    // Brings the title, the check marks and the recent-file entries up to date
    // with the document and the shared state.
    void UpdateCommandUi();
    // After the record was replaced (New, Open, a recovered titration): the
    // work dialogs are told, then the commands brought up to date.
    void RecordReplaced();

signals:
    // The window was closed ("В&ыход" or the window's close button): the run ends,
    // whatever work dialogs are still open.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateReadout();
    void Connect(Command command, void (CMainFrame::*handler)());
    void RebuildRecentFiles();
    void RebuildUnsavedMenu();
    void ShowIdleLine();
    QPrinter& Printer();

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnViewCurve();
    void OnViewDerivative();
    void OnColour(ColourRole role);
    void OnSeparator(int decimalComma);
    void OnAbout();

    SharedState& state_;
    CKelmDoc& doc_;
    DialogHost& dialogs_;
    RecentFiles& recent_;
    Prompter& prompter_;
    Journal& journal_;
    FrameChoosers choosers_;

    CKelmView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentAnchor_ = nullptr;  // the recent-file entries go before it
    QList<QAction*> recentActions_;
    QMenu* unsavedMenu_ = nullptr;
    QLabel* journalTrouble_ = nullptr;
    QLabel* readout_ = nullptr;
    bool journalFailing_ = false;
    std::array<QAction*, kCommandCount> actions_{};
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace kelm
