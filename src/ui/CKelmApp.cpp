#include "ui/CKelmApp.h"

#include <QApplication>
#include <QStatusBar>
#include <QTimer>
#include <ctime>

#include "core/SettingsFile.h"
#include "core/SharedState.h"
#include "link/qt/QtSerialPort.h"
#include "link/qt/SystemPortMap.h"
#include "ui/CKelmView.h"
#include "ui/GraphPrinting.h"
#include "ui/JournalTexts.h"
#include "ui/QtPrompter.h"
#include "ui/RegisterDialogs.h"
#include "ui/WindowPlacement.h"

namespace kelm {

namespace {

constexpr int kRequestPollMs = 200;

AppServices WithDefaults(AppServices services, const SharedState& state, const Clock& systemClock) {
    if (!services.makePrompter) {
        services.makePrompter = [](QWidget* owner) { return std::make_unique<QtPrompter>(owner); };
    }
    if (!services.makePort) {
        services.makePort = [] { return std::make_unique<QtSerialPort>(); };
    }
    if (!services.portMap) {
        // kelm.ports, then the system's devices; the port in use keeps its device.
        services.portMap = [&state] { return LoadPortMap(state.link.comPort); };
    }
    if (services.clock == nullptr) {
        services.clock = &systemClock;
    }
    return services;
}

}  // namespace

CKelmApp::CKelmApp(SharedState& state, Prompter& prompter, QStringList words,
                   std::filesystem::path settingsPath, AppServices services)
    : state_(state),
      prompter_(prompter),
      words_(std::move(words)),
      settingsPath_(std::move(settingsPath)),
      doc_(state, prompter, recent_),
      journal_(services.journalFolder.empty() ? DefaultJournalFolder() : services.journalFolder),
      keeper_(state, journal_),
      store_(services.storePath.empty() ? DefaultStorePath() : services.storePath),
      dialogs_(state),
      services_(WithDefaults(std::move(services), state, systemClock_)),
      processing_(state, dialogs_, services_.makePrompter),
      context_{state,
               dialogs_,
               processing_,
               services_.makePrompter,
               services_.makePort,
               services_.portMap,
               *services_.clock,
               store_,
               [this] {
                   if (frame_) {
                       frame_->Action(Command::FileSave)->trigger();
                   }
               },
               [this] { return std::filesystem::path(doc_.Path().toStdU16String()); }} {
    // Before the window, so that the menu enables the commands of the dialogs
    // that exist; a test may still put its own in before Start.
    RegisterDialogs(dialogs_, context_);
    doc_.SetJournal(&journal_);
    doc_.SetStore(&store_);
    requestTimer_.setInterval(kRequestPollMs);
    QObject::connect(&requestTimer_, &QTimer::timeout, &requestTimer_,
                     [this] { OpenRequestedFile(); });
}

CKelmApp::~CKelmApp() = default;

StartResult CKelmApp::Start() {
    frame_ = std::make_unique<CMainFrame>(state_, doc_, dialogs_, recent_, prompter_, journal_);
    dialogs_.SetMainWindow(frame_.get());
    keeper_.onTrouble = [this](bool failing) { frame_->ShowJournalTrouble(failing); };
    keeper_.onEntryOpened = [this] { frame_->statusBar()->showMessage(JournalKeptLine(), 10000); };

    // The command line, before the defaults and the settings file: a file's
    // separator is then overridden by the settings file's.
    const ShellCommand command = ParseCommandLine(words_);
    if ((command.kind == ShellCommand::Kind::New || command.kind == ShellCommand::Kind::Open) &&
        HandedToRunningKelm(command.file)) {
        return StartResult::Done;
    }
    switch (command.kind) {
        case ShellCommand::Kind::New:
            if (!doc_.New()) {
                return StartResult::Failed;
            }
            break;
        case ShellCommand::Kind::Open:
            switch (doc_.OpenFile(command.file)) {
                case CKelmDoc::OpenResult::Opened:
                    break;
                case CKelmDoc::OpenResult::NothingToRead:
                    // The file holds no record: once told, the user works on a new one.
                    if (!doc_.New()) {
                        return StartResult::Failed;
                    }
                    break;
                case CKelmDoc::OpenResult::Failed:
                    return StartResult::Failed;
            }
            break;
        case ShellCommand::Kind::Print:
        case ShellCommand::Kind::PrintTo:
            if (!doc_.Open(command.file)) {
                return StartResult::Failed;
            }
            return PrintWithoutDialog(state_, command.printer, prompter_) ? StartResult::Done
                                                                          : StartResult::Failed;
        case ShellCommand::Kind::Help:
        case ShellCommand::Kind::Version:
        case ShellCommand::Kind::Refused:
            // Answered on the terminal before the toolkit started.
            return StartResult::Failed;
    }

    ApplyStartDefaults(state_);
    LoadSettings(state_, settingsPath_);
    settingsRead_ = true;

    frame_->UpdateCommandUi();
    frame_->show();
    frame_->View()->repaint();
    if (command.kind == ShellCommand::Kind::New) {
        // Once the window is on screen, so that the question has its owner.
        QTimer::singleShot(0, frame_.get(), [this] { OfferRecovery(); });
    }
    if (instance_) {
        instance_->Serve([this](const QString& file) { TakeRequest(file); });
    }
    return StartResult::Running;
}

// A plain `kelm` while one runs brings that one to the front rather than
// starting a second window: both would write the folder's kelm.cfg at exit,
// the last one over the other's changes, and only one can have the meter.
bool CKelmApp::HandedToRunningKelm(const QString& file) {
    instance_ = std::make_unique<SingleInstance>(settingsPath_);
    for (int round = 0; round < 3; ++round) {
        const SingleInstance::Role role = instance_->Claim();
        if (role == SingleInstance::Role::First) {
            return false;
        }
        if (role == SingleInstance::Role::Alone) {
            break;
        }
        const SingleInstance::HandOverResult result = instance_->HandOver(file);
        if (result == SingleInstance::HandOverResult::Taken) {
            instance_.reset();
            return true;
        }
        if (result == SingleInstance::HandOverResult::Silent) {
            break;
        }
        // Gone: it ended while taking the request, and the next round finds
        // its place free.
    }
    // No socket to be had, or a Kelm that does not answer: better a window of
    // its own than none.
    instance_.reset();
    return false;
}

// As a file dropped on the window is: the window comes to the front and the
// file opens like "&Открыть...", but only once no dialog of the user's waits
// for an answer, so that nothing typed there lands in the other record.
void CKelmApp::TakeRequest(const QString& file) {
    BringToFront(frame_.get());
    if (file.isEmpty()) {
        return;
    }
    requested_.append(file);
    requestTimer_.start();
    OpenRequestedFile();
}

void CKelmApp::OpenRequestedFile() {
    if (requested_.isEmpty()) {
        requestTimer_.stop();
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        return;  // a dialog of the user's, or the message of the last file's open
    }
    frame_->OpenFile(requested_.takeFirst());
    if (requested_.isEmpty()) {
        requestTimer_.stop();
    }
}

void CKelmApp::OfferRecovery() {
    journal_.Prune(std::time(nullptr));
    const std::vector<JournalEntry> entries = journal_.Entries();
    if (entries.empty()) {
        return;
    }
    const std::string question = RecoveryQuestion(entries).toStdString();
    if (prompter_.AskYesNo(kAppCaption, question, Answer::Yes, QuestionIcon::Question) ==
        Answer::Yes) {
        doc_.Recover(entries.front());
        frame_->RecordReplaced();
    }
}

void CKelmApp::Exit() {
    if (settingsRead_) {
        SaveSettings(state_, settingsPath_);
    }
}

}  // namespace kelm
