// The command line: the forms the desktop uses, help and version, and every
// other word refused rather than opened as a file; answered without a display.

#include "ProgramRun.h"
#include "UiTestSupport.h"
#include "core/Version.h"
#include "ui/CommandLine.h"

namespace kelm::test {
namespace {

using Kind = ShellCommand::Kind;

TEST(CommandLine, AcceptsTheDesktopFormsAndRefusesTheRest) {
    struct Case {
        QStringList words;
        Kind kind;
        const char* file;
        const char* printer;
        const char* problem;  // the refusal, as stderr shows it after "kelm: "
    };
    const Case cases[] = {
        {{}, Kind::New, "", "", ""},
        {{"a.kel"}, Kind::Open, "a.kel", "", ""},
        {{"/home/lab/p.kel"}, Kind::Open, "/home/lab/p.kel", "", ""},
        {{"/p", "b.kel"}, Kind::Print, "b.kel", "", ""},
        {{"-P", "b.kel"}, Kind::Print, "b.kel", "", ""},
        {{"/pt", "c.kel", "Lab printer"}, Kind::PrintTo, "c.kel", "Lab printer", ""},
        {{"--help"}, Kind::Help, "", "", ""},
        {{"-h"}, Kind::Help, "", "", ""},
        {{"--version"}, Kind::Version, "", "", ""},
        {{"-x"}, Kind::Refused, "", "", "unknown option '-x'"},
        {{"--open", "a.kel"}, Kind::Refused, "", "", "unknown option '--open'"},
        {{"-platform", "offscreen"}, Kind::Refused, "", "", "unknown option '-platform'"},
        {{"a.kel", "/p"}, Kind::Refused, "", "", "/p must come before the file: kelm /p FILE"},
        {{"a.kel", "-PT", "x"},
         Kind::Refused,
         "",
         "",
         "-PT must come before the file: kelm -PT FILE"},
        {{"a.kel", "-v"}, Kind::Refused, "", "", "unknown option '-v'"},
        {{"a.kel", "b.kel"}, Kind::Refused, "", "", "unexpected 'b.kel': kelm takes one file"},
        {{"/p"}, Kind::Refused, "", "", "/p needs the file to print"},
        {{"/p", "-q"}, Kind::Refused, "", "", "unknown option '-q'"},
        {{"/p", "a.kel", "b.kel"},
         Kind::Refused,
         "",
         "",
         "unexpected 'b.kel': kelm takes one file"},
        {{"/pt", "a.kel"}, Kind::Refused, "", "", "/pt needs the file and the printer's name"},
        {{"/pt", "a.kel", "Lab", "/p"},
         Kind::Refused,
         "",
         "",
         "unexpected '/p': kelm takes one file"},
        {{"/pt", "--all", "Lab"}, Kind::Refused, "", "", "unknown option '--all'"},
        {{""}, Kind::Refused, "", "", "the file name is empty"},
        {{"/p", ""}, Kind::Refused, "", "", "the file name is empty"},
    };
    for (const Case& c : cases) {
        const ShellCommand command = ParseCommandLine(c.words);
        const std::string shown = c.words.join(' ').toStdString();
        EXPECT_EQ(command.kind, c.kind) << shown;
        EXPECT_EQ(command.file, c.file) << shown;
        EXPECT_EQ(command.printer, c.printer) << shown;
        EXPECT_EQ(command.problem, c.problem) << shown;
    }
}

// The program itself with no display at all: the answers must come before
// the toolkit would look for one.
class NoDisplayRun : public UiTest {
protected:
    int Run(const QStringList& words) {
        const ProgramOutcome outcome = RunProgram(dir_.path(), words, /*display=*/false);
        out_ = outcome.out;
        errors_ = outcome.errors;
        return outcome.status.value_or(-1);
    }

    QString out_;
    QString errors_;
};

TEST_F(NoDisplayRun, HelpVersionAndRefusalsNeedNoDisplay) {
    const QString file = WriteRecord("a.kel", 3);
    const std::string version = "kelm " + std::string(kVersion) + "\n";
    const std::string tryHelp = "Try 'kelm --help'.\n";
    struct Case {
        QStringList words;
        int status;
        std::string out;  // the usage: what it starts with; else all of it
        std::string errors;
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: kelm [FILE.kel]\n       kelm /p FILE.kel\n", ""},
        {{"--version"}, 0, version, ""},
        {{"--frobnicate"}, 64, "", "kelm: unknown option '--frobnicate'\n" + tryHelp},
        {{file, "/p"}, 64, "", "kelm: /p must come before the file: kelm /p FILE\n" + tryHelp},
        {{"/pt", file}, 64, "", "kelm: /pt needs the file and the printer's name\n" + tryHelp},
    };
    for (const Case& c : cases) {
        const std::string shown = c.words.join(' ').toStdString();
        EXPECT_EQ(Run(c.words), c.status) << shown;
        const std::string out = out_.toStdString();
        EXPECT_EQ(c.status == 0 && c.words[0] == "--help" ? out.substr(0, c.out.size()) : out,
                  c.out)
            << shown;
        EXPECT_EQ(errors_.toStdString(), c.errors) << shown;
    }
    EXPECT_FALSE(QFile::exists(Path("kelm.cfg")));
}

}  // namespace
}  // namespace kelm::test
