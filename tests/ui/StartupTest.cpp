// The start-up sequence and the exit step: order, the separator rule, the
// settings file of a first start, and failed starts that must not touch it.
#include <QStringList>

#include "ProgramRun.h"
#include "UiTestSupport.h"
#include "core/SettingsFile.h"
#include "support/DefaultSettings.h"
#include "ui/CKelmApp.h"

namespace kelm::test {
namespace {

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

TEST_F(Startup, ATruncatedCommandLineFileEndsTheStartWithTheQuotedMessage) {
    const QString file = Path("truncated.kel");
    WriteFile(file, std::string("text only, and no data"));
    EXPECT_EQ(Start({file}), StartResult::Failed);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Unexpected file format.");
    app_->Exit();
    EXPECT_FALSE(QFile::exists(Path("kelm.cfg")));
}

// A byte 0 before the data: the file opens but holds no record, so after the
// message the program starts with a new one, as without a file.
TEST_F(Startup, ACommandLineFileWithNothingToReadStartsANewRecord) {
    WriteSettings(/*decimalComma=*/1);
    const QString file = Path("empty.kel");
    static constexpr char kBytes[] = "text only\r\n\0more";
    WriteFile(file, std::string(kBytes, sizeof kBytes - 1));
    EXPECT_EQ(Start({file}), StartResult::Running);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].caption, "Kelm");
    EXPECT_EQ(prompter_.messages[0].text, "Нет данных для чтения");
    EXPECT_EQ(state_.record.pointCount, 0);
    EXPECT_EQ(app_->MainFrame().windowTitle(), "Безымянный - Kelm");
    EXPECT_EQ(state_.display.decimalComma, 1);  // the settings file was read
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
        const ProgramOutcome outcome = RunProgram(dir_.path(), words);
        EXPECT_TRUE(outcome.status.has_value()) << "kelm did not end";
        errors_ = outcome.errors;
        return outcome.status.value_or(-1);
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
