// The command line of kelm: the forms the desktop's open and print requests
// use, and what a Linux user types besides (--help, --version). Everything
// else is refused before the toolkit starts, so that a mistyped option is
// never opened as a file and no answer needs a display.
#pragma once

#include <QString>
#include <QStringList>
#include <iosfwd>
#include <optional>

namespace kelm {

// `kelm`, `kelm FILE`, `kelm /p FILE`, `kelm /pt FILE PRINTER` (the print
// flags also with "-", any letter case); `kelm --help` (or -h) and
// `kelm --version`; anything else is Refused, with the reason.
struct ShellCommand {
    enum class Kind { New, Open, Print, PrintTo, Help, Version, Refused } kind = Kind::New;
    QString file;
    QString printer;
    QString problem;  // why it is refused
};
ShellCommand ParseCommandLine(const QStringList& words);

// The status of a command that is answered on the terminal and ends the run
// (help, version, refusal), after writing the answer to `out` or `errors`;
// nothing for a command the window carries out.
std::optional<int> AnswerOnTerminal(const ShellCommand& command, std::ostream& out,
                                    std::ostream& errors);

inline constexpr int kExitUsage = 64;  // a command line that is not understood

}  // namespace kelm
