// Runs a built program (kelmtool, kelm-sim) in a test folder with words as its
// arguments and collects its exit status, stdout and stderr through files there.
// The program gets at most a minute.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "support/TempDir.h"

namespace kelm::test {

struct ToolOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuoted(std::string_view word) {
    std::string out = "'";
    for (char c : word) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// With `input`, the program reads it as its standard input (through a file
// "stdin" in the folder); without, standard input is the test's own.
inline ToolOutcome RunTool(const std::filesystem::path& tool, std::span<const std::string> words,
                           const std::filesystem::path& folder,
                           std::optional<std::string_view> input = std::nullopt) {
    // A program that hangs ends after a minute with status 124 instead of
    // holding up the whole test run.
    std::string command =
        "cd " + ShellQuoted(folder.string()) + " && timeout -k 5 60 " + ShellQuoted(tool.string());
    for (const std::string& w : words) {
        command += ' ' + ShellQuoted(w);
    }
    if (input) {
        WriteBytes(folder / "stdin", *input);
        command += " <" + ShellQuoted((folder / "stdin").string());
    }
    command += " >" + ShellQuoted((folder / "stdout").string()) + " 2>" +
               ShellQuoted((folder / "stderr").string());
    const int raw = std::system(command.c_str());
    ToolOutcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = ReadBytes(folder / "stdout");
    o.err = ReadBytes(folder / "stderr");
    return o;
}

}  // namespace kelm::test
