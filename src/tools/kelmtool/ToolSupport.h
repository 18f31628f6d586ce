// What every kelmtool command shares: exit statuses, file access, JSON output.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kelm {
struct SharedState;
}

namespace kelm::tool {

// Exit statuses, after the BSD sysexits convention.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 64;    // bad command line
inline constexpr int kExitDataErr = 65;  // unreadable or invalid input file
inline constexpr int kExitIoErr = 74;    // a file could not be read or written

// Prints "kelmtool: <message>" and a line end on stderr.
void PrintError(std::string_view message);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Writes through a temporary file in the same folder and a rename, so that a
// failed write leaves an existing file whole.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A fresh state holding the program's start values, the way kelm has it after
// start-up without a settings file.
void InitFreshState(SharedState& state);

// Loads a result file into `state`; on failure prints the message and returns
// kExitIoErr or kExitDataErr, on success kExitOk.
int LoadRecordFile(const std::filesystem::path& path, SharedState& state);

// Shortest text that reads back as the same double; non-finite values as null.
std::string JsonNumber(double value);
// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view utf8);

// True when `arg` is "--help" or "-h".
bool IsHelp(std::string_view arg);

}  // namespace kelm::tool
