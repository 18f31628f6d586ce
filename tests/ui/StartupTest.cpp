// The start-up sequence and the exit step: order, the separator rule, the
// settings file of a first start, and failed starts that must not touch it.
#include <QProcess>
#include <QStringList>

#include "UiTestSupport.h"
#include "core/SettingsFile.h"
#include "ui/CKelmApp.h"

namespace kelm::test {
namespace {

// The settings file a first start writes when nothing changes: every field of
// the settings table at its start value.
std::string DefaultSettingsBytes() {
    std::string bytes;
    bytes += "0064";  // format mark 100
    bytes +=
        "0001"
        "0000"
        "0001"
        "0010"
        "0010";  // COM1, net 0, channel 1, Z 16, R 16
    bytes +=
        "0000"
        "001E"
        "03E8";  // manual, 30 s, 1.000 mV/min
    bytes +=
        "0000"
        "0258"
        "01F4";  // layout not saved, 600 x 500
    for (int i = 0; i < 10; ++i)
        bytes += "0064";  // column widths 100
    for (int i = 0; i < 10; ++i)
        bytes += "0000000000000000";  // record slots: never chosen
    bytes +=
        "0032"
        "0064"
        "00C8"
        "0001";  // preferred: points (50,100,200)
    bytes +=
        "0032"
        "0064"
        "0032"
        "0001";  // curve (50,100,50)
    bytes +=
        "00FF"
        "0000"
        "0000"
        "0001";  // equivalence points (255,0,0)
    for (int i = 0; i < 7; ++i)
        bytes += "0000000000000000";  // slots 13..19
    bytes += "0000";                  // decimal point
    return bytes;
}

class Startup : public UiTest {
protected:
    std::filesystem::path Settings() const { return Path("kelm.cfg").toStdString(); }

    StartResult Start(const QStringList& words) {
        app_ = std::make_unique<CKelmApp>(state_, prompter_, words, Settings());
        return app_->Start();
    }

    // A settings file of start values except the separator and the port.
    void WriteSettings(int decimalComma, int comPort = 1) {
        SharedState s;
        NewRecord(s);
        ApplyStartDefaults(s);
        s.display.decimalComma = decimalComma;
        s.link.comPort = comPort;
        WriteFile(Path("kelm.cfg"), EncodeSettings(s));
    }

    SharedState state_;
    ScriptedPrompter prompter_;
    std::unique_ptr<CKelmApp> app_;
};

TEST_F(Startup, AFirstStartWritesTheDefaultsAtExit) {
    ASSERT_EQ(DefaultSettingsBytes().size(), 412u);
    ASSERT_EQ(Start({}), StartResult::Running);
    EXPECT_TRUE(app_->MainFrame().isVisible());
    EXPECT_EQ(state_.record.pointCount, 0);
    app_->Exit();
    EXPECT_EQ(ReadFile(Path("kelm.cfg")), DefaultSettingsBytes());
    EXPECT_TRUE(prompter_.messages.empty());

    // The same bytes as the settings codec gives for a start-up state.
    SharedState reference;
    NewRecord(reference);
    ApplyStartDefaults(reference);
    EXPECT_EQ(EncodeSettings(reference), DefaultSettingsBytes());
}

TEST_F(Startup, ChangesMadeDuringTheRunAreWrittenAtExit) {
    ASSERT_EQ(Start({}), StartResult::Running);
    state_.display.decimalComma = 1;
    state_.link.comPort = 4;
    app_->Exit();
    SharedState reread;
    LoadSettings(reread, Settings());
    EXPECT_EQ(reread.display.decimalComma, 1);
    EXPECT_EQ(reread.link.comPort, 4);
}

TEST_F(Startup, ACommandLineFileIsLoadedBeforeTheDefaultsAndTheSettings) {
    const QString file = WriteRecord("ph.kel", 5, MeasuredQuantity::Ph, /*decimalComma=*/1);
    WriteSettings(/*decimalComma=*/0, /*comPort=*/3);
    ASSERT_EQ(Start({file}), StartResult::Running);
    EXPECT_EQ(state_.record.pointCount, 5);
    EXPECT_EQ(state_.record.quantity, MeasuredQuantity::Ph);
    // The settings file comes last: its separator and port win.
    EXPECT_EQ(state_.display.decimalComma, 0);
    EXPECT_EQ(state_.link.comPort, 3);
    EXPECT_EQ(app_->MainFrame().windowTitle(), "ph.kel - Kelm");
}

TEST_F(Startup, TheSettingsSeparatorWinsEitherWay) {
    const QString file = WriteRecord("point.kel", 3, MeasuredQuantity::Emf, /*decimalComma=*/0);
    WriteSettings(/*decimalComma=*/1);
    ASSERT_EQ(Start({file}), StartResult::Running);
    EXPECT_EQ(state_.display.decimalComma, 1);
    EXPECT_TRUE(app_->MainFrame().Action(Command::SeparatorComma)->isChecked());
}

TEST_F(Startup, WithoutASettingsFileTheFileSeparatorStays) {
    const QString file = WriteRecord("comma.kel", 3, MeasuredQuantity::Ph, /*decimalComma=*/1);
    ASSERT_EQ(Start({file}), StartResult::Running);
    EXPECT_EQ(state_.display.decimalComma, 1);
    // The defaults come after the file: codeR follows the loaded quantity.
    EXPECT_EQ(state_.link.codeR, 48);
}

TEST_F(Startup, AMissingCommandLineFileEndsTheStartNamingTheFile) {
    WriteSettings(/*decimalComma=*/1, /*comPort=*/5);
    const std::string before = ReadFile(Path("kelm.cfg"));
    const QString missing = Path("missing.kel");
    EXPECT_EQ(Start({missing}), StartResult::Failed);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].caption, "Kelm");
    EXPECT_NE(prompter_.messages[0].text.find(missing.toStdString()), std::string::npos);
    // The user's settings are not replaced by start values.
    app_->Exit();
    EXPECT_EQ(ReadFile(Path("kelm.cfg")), before);
}

TEST_F(Startup, ADamagedCommandLineFileEndsTheStartWithTheQuotedMessage) {
    const QString file = Path("damaged.kel");
    static constexpr char kBytes[] = "text only\r\n\0more";
    WriteFile(file, std::string(kBytes, sizeof kBytes - 1));
    EXPECT_EQ(Start({file}), StartResult::Failed);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Нет данных для чтения");
    app_->Exit();
    EXPECT_FALSE(QFile::exists(Path("kelm.cfg")));
}

TEST_F(Startup, APrintRequestForAnUnknownPrinterFailsAndLeavesTheSettingsAlone) {
    const QString file = WriteRecord("print.kel", 4);
    EXPECT_EQ(Start({"/pt", file, "no-such-printer-for-kelm"}), StartResult::Failed);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Принтер «no-such-printer-for-kelm» не найден.");
    EXPECT_FALSE(app_->MainFrame().isVisible());
    app_->Exit();
    EXPECT_FALSE(QFile::exists(Path("kelm.cfg")));
}

// The program as the shell starts it, without a screen: a failing request must
// end the run with a message and an error status, not wait for a click.
class ProgramRun : public UiTest {
protected:
    int Run(const QStringList& words) {
        QProcess kelm;
        kelm.setWorkingDirectory(dir_.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir_.path());
        kelm.setProcessEnvironment(env);
        kelm.start(KELM_PROGRAM, words);
        if (!kelm.waitForFinished(60000)) {
            kelm.kill();
            kelm.waitForFinished();
            ADD_FAILURE() << "kelm did not end";
            return -1;
        }
        errors_ = QString::fromUtf8(kelm.readAllStandardError());
        return kelm.exitCode();
    }

    QString errors_;
};

TEST_F(ProgramRun, APrintRequestWithoutAPrinterEndsWithAMessage) {
    const QString file = WriteRecord("print.kel", 6);
    EXPECT_EQ(Run({"/pt", file, "kelm-absent-printer"}), 1);
    EXPECT_TRUE(errors_.contains("Kelm: Принтер «kelm-absent-printer» не найден."))
        << errors_.toStdString();
    EXPECT_FALSE(QFile::exists(Path("kelm.cfg")));
}

TEST_F(ProgramRun, AFileThatCannotBeOpenedEndsTheRunNamingIt) {
    EXPECT_EQ(Run({Path("absent.kel")}), 1);
    EXPECT_TRUE(errors_.contains(Path("absent.kel"))) << errors_.toStdString();
    EXPECT_FALSE(QFile::exists(Path("kelm.cfg")));
}

TEST(CommandLine, NamesTheFileAndThePrintRequests) {
    EXPECT_EQ(ParseCommandLine({}).kind, ShellCommand::Kind::New);

    const ShellCommand open = ParseCommandLine({"a.kel"});
    EXPECT_EQ(open.kind, ShellCommand::Kind::Open);
    EXPECT_EQ(open.file, "a.kel");

    const ShellCommand print = ParseCommandLine({"/p", "b.kel"});
    EXPECT_EQ(print.kind, ShellCommand::Kind::Print);
    EXPECT_EQ(print.file, "b.kel");

    const ShellCommand printTo = ParseCommandLine({"-PT", "c.kel", "Lab printer"});
    EXPECT_EQ(printTo.kind, ShellCommand::Kind::PrintTo);
    EXPECT_EQ(printTo.file, "c.kel");
    EXPECT_EQ(printTo.printer, "Lab printer");

    // An absolute path is a file, not a flag.
    EXPECT_EQ(ParseCommandLine({"/home/lab/p.kel"}).file, "/home/lab/p.kel");
}

}  // namespace
}  // namespace kelm::test
