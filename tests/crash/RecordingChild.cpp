// The program as a chemist runs it, recording a titration in timer mode from
// a simulated meter as fast as the entry window lets it, so that the crash
// test can kill it at any moment. At start it takes the journal's offer, and
// writes the recovered record's rows as the entry window lists them; then it
// appends each newly recorded row to its log the moment the window lists it.
//
//   kelm_recording_child FOLDER JOURNAL   (logs FOLDER/recovered and FOLDER/screen)
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "Instrument.h"
#include "core/Prompter.h"
#include "core/SharedState.h"
#include "support/FakeClock.h"
#include "support/InstrumentPort.h"
#include "ui/CKelmApp.h"
#include "ui/CTitrationEntryDlg.h"

namespace {

using namespace kelm;

// Takes the recovery offer; nothing else asks in this run.
class YesPrompter final : public Prompter {
public:
    void Inform(std::string_view, std::string_view) override {}
    void Error(std::string_view, std::string_view) override {}
    void Warn(std::string_view, std::string_view) override {}
    Answer AskYesNo(std::string_view, std::string_view, Answer, QuestionIcon) override {
        return Answer::Yes;
    }
};

// One line a row: the volume and value texts of the list.
void WriteRow(std::FILE* log, const QTreeWidgetItem* row) {
    std::fprintf(log, "%s\t%s\n", row->text(0).toUtf8().constData(),
                 row->text(1).toUtf8().constData());
    std::fflush(log);  // into the system: a killed process loses nothing written
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kelm_recording_child FOLDER JOURNAL\n");
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path folder = argv[1];

    test::FakeClock clock;
    sim::InstrumentConfig config;
    config.pace = false;
    config.timeConstantS = 0.5;
    sim::Instrument meter(config, sim::SampleConfig{});
    auto shared = std::make_shared<test::InstrumentPort*>(nullptr);

    AppServices services;
    services.clock = &clock;
    services.journalFolder = argv[2];
    services.makePrompter = [](QWidget*) { return std::make_unique<YesPrompter>(); };
    services.makePort = [&] {
        return std::make_unique<test::InstrumentPort>(meter, [&] { return clock.Seconds(); });
    };
    services.portMap = [] { return PortMap::Parse("COM1=/dev/sim-meter\n"); };

    SharedState state;
    YesPrompter prompter;
    CKelmApp kelm(state, prompter, {}, (folder / "kelm.cfg").string(), services);
    CTitrationEntryDlg* entry = nullptr;
    DialogFactories factories;
    factories.entry = [&](QWidget* owner) {
        entry = new CTitrationEntryDlg(kelm.Context(), owner);
        return entry;
    };
    kelm.Dialogs().Register(factories);
    state.acquisition.recordMode = RecordMode::Timer;
    state.acquisition.timerSeconds = 5;
    if (kelm.Start() != StartResult::Running) {
        return 1;
    }
    QCoreApplication::processEvents();  // the recovery offer

    kelm.Dialogs().ShowEntry();
    if (entry == nullptr) {
        return 1;
    }
    auto* list = entry->findChild<QTreeWidget*>(QStringLiteral("pointList"));
    auto* addition = entry->findChild<QLineEdit*>(QStringLiteral("additionBox"));
    auto* add = entry->findChild<QPushButton*>(QStringLiteral("addButton"));
    // Written under another name and renamed once whole: the crash test takes
    // the file's appearance as the end of start-up and may kill at once.
    std::FILE* recovered = std::fopen((folder / "recovered.part").c_str(), "w");
    std::FILE* screen = std::fopen((folder / "screen").c_str(), "a");
    if (list == nullptr || addition == nullptr || add == nullptr || !recovered || !screen) {
        return 1;
    }
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        WriteRow(recovered, list->topLevelItem(i));
    }
    std::fclose(recovered);
    std::filesystem::rename(folder / "recovered.part", folder / "recovered");

    // One step a millisecond: an addition, or a tick of a second on the clock.
    QTimer step;
    int listed = list->topLevelItemCount();
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (!entry->Entry().AdditionPending()) {
            if (PointCount(state.record) >= kMaxPoints) {
                return;
            }
            addition->setFocus();
            addition->selectAll();
            QTest::keyClicks(addition, PointCount(state.record) == 0 ? "0" : "0.25");
            add->click();
            meter.SetVolume(state.record.points[PointCount(state.record)].volume, clock.Seconds());
        } else {
            clock.Advance(1);
            entry->OnAcquisitionTick();
        }
        for (; listed < list->topLevelItemCount(); ++listed) {
            WriteRow(screen, list->topLevelItem(listed));
        }
    });
    step.start(1);
    return QApplication::exec();
}
