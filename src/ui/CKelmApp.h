// The application: the start-up sequence, the shell's command line and the
// exit step. The caller owns the shared state, the prompter and the event loop.
#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "acquisition/Clock.h"
#include "core/Journal.h"
#include "core/RecordKeeper.h"
#include "store/UserStore.h"
#include "ui/CKelmDoc.h"
#include "ui/CMainFrame.h"
#include "ui/CommandLine.h"
#include "ui/DialogContext.h"
#include "ui/DialogHost.h"
#include "ui/ProcessingCommand.h"
#include "ui/RecentFiles.h"
#include "ui/SingleInstance.h"

namespace kelm {

class Prompter;
struct SharedState;

enum class StartResult {
    Running,  // the main window is up: run the event loop, then Exit()
    Done,     // a print request was carried out; end successfully
    Failed,   // the user has been told why; end with an error status
};

// What the dialogs are given beyond the shared state. Left empty, each is the
// program's own: message boxes, the real serial port, the port map of
// kelm.ports and the system's serial devices, the computer's clock. Tests put
// in scripted ones.
struct AppServices {
    PrompterFactory makePrompter;
    SerialPortFactory makePort;
    PortMapSource portMap;
    const Clock* clock = nullptr;
    // Where unsaved titrations are kept; empty: the user's state folder.
    std::filesystem::path journalFolder;
    // The titrant library and history of results; empty: the user's data folder.
    std::filesystem::path storePath;
};

class CKelmApp {
public:
    // `prompter` is the shell's own (file, print and start-up messages);
    // `words` are the command-line words after the program name, those that
    // main has not answered on the terminal already;
    // `settingsPath` is the settings file read at start and written at exit.
    CKelmApp(SharedState& state, Prompter& prompter, QStringList words,
             std::filesystem::path settingsPath = "kelm.cfg", AppServices services = {});
    ~CKelmApp();

    // The start-up steps, in their fixed order. `kelm` and `kelm FILE` first
    // look for a Kelm running in the same working folder: when one takes the
    // request this start is Done at once, and writes no settings at exit.
    StartResult Start();

    // The exit step: writes the settings file, but only after a start-up that
    // read it, so a failed start never replaces the user's settings.
    void Exit();

    // Offers the newest unsaved titration of the journal, after pruning it;
    // Start calls it once the window shows when no file was named.
    void OfferRecovery();

    CMainFrame& MainFrame() { return *frame_; }
    CKelmDoc& Doc() { return doc_; }
    DialogHost& Dialogs() { return dialogs_; }
    UserStore& Store() { return store_; }
    ProcessingCommand& Processing() { return processing_; }
    const DialogContext& Context() const { return context_; }
    Journal& UnsavedJournal() { return journal_; }

private:
    bool HandedToRunningKelm(const QString& file);
    void TakeRequest(const QString& file);
    void OpenRequestedFile();

    SharedState& state_;
    Prompter& prompter_;
    QStringList words_;
    std::filesystem::path settingsPath_;
    RecentFiles recent_;
    CKelmDoc doc_;
    SystemClock systemClock_;
    Journal journal_;
    RecordKeeper keeper_;
    UserStore store_;
    DialogHost dialogs_;
    AppServices services_;
    ProcessingCommand processing_;
    DialogContext context_;
    std::unique_ptr<CMainFrame> frame_;
    bool settingsRead_ = false;
    // Listens for the Kelms started later in this folder, whose files wait
    // here until no dialog of the user's is open.
    std::unique_ptr<SingleInstance> instance_;
    QStringList requested_;
    QTimer requestTimer_;
};

}  // namespace kelm
