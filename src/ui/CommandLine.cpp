#include "ui/CommandLine.h"

#include <ostream>

#include "core/Version.h"

namespace kelm {

namespace {

constexpr char kUsage[] =
    "Usage: kelm [FILE.kel]\n"
    "       kelm /p FILE.kel\n"
    "       kelm /pt FILE.kel PRINTER\n"
    "\n"
    "Records and processes titration curves.\n"
    "\n"
    "  kelm                     starts with a new, empty record\n"
    "  kelm FILE.kel            opens the file\n"
    "  kelm /p FILE.kel         prints the file on the default printer and ends\n"
    "  kelm /pt FILE.kel NAME   prints the file on the printer NAME and ends\n"
    "  kelm --help              prints this text and ends\n"
    "  kelm --version           prints the version and ends\n"
    "\n"
    "The print flags may also be written -p and -pt. While a Kelm runs in the\n"
    "same working folder (the folder of its kelm.cfg), kelm FILE.kel opens the\n"
    "file in that window and kelm alone brings it to the front.\n";

bool IsFlag(const QString& word, QLatin1StringView name) {
    return (word.startsWith('/') || word.startsWith('-')) &&
           word.mid(1).compare(name, Qt::CaseInsensitive) == 0;
}

bool IsPrintFlag(const QString& word) {
    return IsFlag(word, QLatin1StringView("p")) || IsFlag(word, QLatin1StringView("pt"));
}

// A word that can only be meant as an option: on Linux "/p" is also a path,
// but "-x" is no file anyone names on a command line.
bool IsOption(const QString& word) {
    return word.startsWith('-') && !IsPrintFlag(word);
}

ShellCommand Refused(const QString& problem) {
    return {ShellCommand::Kind::Refused, {}, {}, problem};
}

ShellCommand UnknownOption(const QString& word) {
    return Refused(QStringLiteral("unknown option '%1'").arg(word));
}

// What is left after a complete command.
ShellCommand Extra(const QString& word, const ShellCommand& command) {
    if (IsOption(word)) {
        return UnknownOption(word);
    }
    if (command.kind == ShellCommand::Kind::Open && IsPrintFlag(word)) {
        return Refused(QStringLiteral("%1 must come before the file: kelm %1 FILE").arg(word));
    }
    return Refused(QStringLiteral("unexpected '%1': kelm takes one file").arg(word));
}

}  // namespace

ShellCommand ParseCommandLine(const QStringList& words) {
    if (words.isEmpty()) {
        return {};
    }
    const QString& first = words[0];
    if (first == QLatin1StringView("--help") || first == QLatin1StringView("-h")) {
        return {ShellCommand::Kind::Help, {}, {}, {}};
    }
    if (first == QLatin1StringView("--version")) {
        return {ShellCommand::Kind::Version, {}, {}, {}};
    }
    ShellCommand command;
    qsizetype used = 1;
    if (IsPrintFlag(first)) {
        const bool toPrinter = IsFlag(first, QLatin1StringView("pt"));
        used = toPrinter ? 3 : 2;
        if (words.size() >= 2 && IsOption(words[1])) {
            return UnknownOption(words[1]);
        }
        if (words.size() < used) {
            return Refused(
                toPrinter ? QStringLiteral("%1 needs the file and the printer's name").arg(first)
                          : QStringLiteral("%1 needs the file to print").arg(first));
        }
        command = toPrinter ? ShellCommand{ShellCommand::Kind::PrintTo, words[1], words[2], {}}
                            : ShellCommand{ShellCommand::Kind::Print, words[1], {}, {}};
    } else if (IsOption(first)) {
        return UnknownOption(first);
    } else {
        command = {ShellCommand::Kind::Open, first, {}, {}};
    }
    if (words.size() > used) {
        return Extra(words[used], command);
    }
    if (command.file.isEmpty()) {
        return Refused(QStringLiteral("the file name is empty"));
    }
    return command;
}

std::optional<int> AnswerOnTerminal(const ShellCommand& command, std::ostream& out,
                                    std::ostream& errors) {
    switch (command.kind) {
        case ShellCommand::Kind::Help:
            out << kUsage;
            return 0;
        case ShellCommand::Kind::Version:
            out << "kelm " << kVersion << '\n';
            return 0;
        case ShellCommand::Kind::Refused:
            errors << "kelm: " << command.problem.toStdString() << '\n' << "Try 'kelm --help'.\n";
            return kExitUsage;
        default:
            return std::nullopt;
    }
}

}  // namespace kelm
