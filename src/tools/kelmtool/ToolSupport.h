// What every kelmtool command shares: exit statuses, file access, JSON output.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
// The same for each line of a text; nothing for an empty one.
void PrintNotice(std::string_view text);

// The whole file through the one reader, or nothing after printing why it
// cannot be read.
std::optional<std::string> ReadInputFile(const std::filesystem::path& path);

// Writes `bytes` to `path` through the one writer; kExitOk, or kExitIoErr
// after printing why not.
int WriteOutputFile(const std::filesystem::path& path, std::string_view bytes);

// A fresh state holding the program's start values, the way kelm has it after
// start-up without a settings file.
void InitFreshState(SharedState& state);

// Loads a result file into `state` and says why it could not: status kExitOk,
// or kExitIoErr / kExitDataErr with the reason (without the file's name).
// Prints only the lines of its readable block that were ignored.
struct RecordLoad {
    int status = kExitOk;
    std::string reason;
};
RecordLoad ReadRecordFile(const std::filesystem::path& path, SharedState& state);

// Loads a result file into `state`; on failure prints the message and returns
// kExitIoErr (not read) or kExitDataErr (not a record), on success kExitOk.
int LoadRecordFile(const std::filesystem::path& path, SharedState& state);

// Saves the record of `state` to `path`; kExitOk, or kExitIoErr after
// printing why not.
int SaveRecordFile(const SharedState& state, const std::filesystem::path& path);

// Shortest text that reads back as the same double; non-finite values as null.
std::string JsonNumber(double value);
// A JSON string literal of UTF-8 text; a malformed sequence (a file name
// that is not UTF-8) becomes U+FFFD, so the output stays valid JSON.
std::string JsonString(std::string_view utf8);

// `text` as one field of a tab-separated table: a control character (a tab or
// a line end in a file name would break the table) becomes "?".
std::string TabFieldText(std::string_view text);

// Appends one field of a table row: tab-separated (through TabFieldText) or
// CSV (RFC 4180: a field with a comma, a quote or a line end is quoted, its
// quotes doubled), with the separator before it unless it is the first.
void AppendTableField(std::string& out, std::string_view text, bool first, bool csv);

// True when `arg` is "--help" or "-h".
bool IsHelp(std::string_view arg);

// The words of one command taken apart: options that take a value ("-o OUT",
// "--quantity ph"), switches ("--comma") and the positional words between them.
struct ParsedArgs {
    bool help = false;  // "--help" or "-h" was among the words
    std::vector<std::string_view> positional;
    std::vector<std::pair<std::string_view, std::string_view>> values;
    std::vector<std::string_view> switches;

    std::optional<std::string_view> Value(std::string_view option) const;
    bool Has(std::string_view option) const;
};

// Parses `args` against the options a command knows; a value option also
// takes the form "--option=value", and its value may start with "-" ("-50.5").
// On an unknown option, a repeated one or a missing value it prints the error
// and returns nothing.
std::optional<ParsedArgs> ParseArgs(std::span<const std::string_view> args,
                                    std::initializer_list<std::string_view> valueOptions,
                                    std::initializer_list<std::string_view> switchOptions = {});

// The whole word as a whole number from low to high, nothing else.
std::optional<int> ParseIntInRange(std::string_view word, int low, int high);

// The whole word as a finite decimal number ("7", "-50.5", "1e3"), nothing else.
std::optional<double> ParseFiniteNumber(std::string_view word);

// A range "FROM:TO" of volumes in mL, as --window and --range take it:
// either end may be left empty for an open one (kOpenEnd), which stands for
// the data's end; nothing when an end is not a finite number or is below 0,
// or FROM is above TO.
std::optional<std::pair<double, double>> ParseVolumeRange(std::string_view word);

// The decimal separator --comma or --point asks for: 1 or 0, nothing when
// neither is given (the file's own separator stays). Both at once conflict.
struct SeparatorChoice {
    bool conflict = false;
    std::optional<int> decimalComma;
};
SeparatorChoice ReadSeparator(const ParsedArgs& args);
inline constexpr std::string_view kSeparatorConflict = "--comma and --point exclude each other";

// Flushes standard output: `status`, or kExitIoErr after saying so when the
// output could not be written (a full disk).
int FinishOutput(int status);

// Prints the error and "Usage: <usage>" on stderr; returns kExitUsage.
int UsageError(std::string_view message, std::string_view usage);

}  // namespace kelm::tool
