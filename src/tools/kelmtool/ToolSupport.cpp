#include "ToolSupport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <system_error>
#include <utility>

#include "core/Cp1251.h"
#include "core/EvaluationSettings.h"
#include "core/FileMessages.h"
#include "core/RecordFile.h"
#include "core/SharedState.h"

namespace kelm::tool {

namespace {

// The bytes the shortest UTF-8 form of a code point takes; 0 for what is no
// character (a surrogate, or beyond U+10FFFF).
std::size_t Utf8Length(char32_t cp) {
    if (cp < 0x80) {
        return 1;
    }
    if (cp < 0x800) {
        return 2;
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) {
        return 0;
    }
    return cp < 0x10000 ? 3 : cp <= 0x10FFFF ? 4 : 0;
}

}  // namespace

void PrintError(std::string_view message) {
    std::cerr << "kelmtool: " << message << '\n';
}

void PrintNotice(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        PrintError(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

std::optional<std::string> ReadInputFile(const std::filesystem::path& path) {
    ReadResult read = ReadWholeFile(path);
    if (read.status != ReadStatus::Read) {
        PrintError(ReadFailureMessage(read, path, MessageStyle::Tool));
        return std::nullopt;
    }
    return std::move(read.bytes);
}

int WriteOutputFile(const std::filesystem::path& path, std::string_view bytes) {
    const WriteResult written = WriteWholeFile(path, bytes);
    if (!written.Written()) {
        PrintError(WriteFailureMessage(written, path, MessageStyle::Tool));
        return kExitIoErr;
    }
    return kExitOk;
}

void InitFreshState(SharedState& state) {
    state = SharedState{};
    NewRecord(state);
    ApplyStartDefaults(state);
}

RecordLoad ReadRecordFile(const std::filesystem::path& path, SharedState& state) {
    const RecordFileResult result = kelm::ReadRecordFile(state, path, MessageStyle::Reason);
    if (result.Done()) {
        PrintNotice(result.notice);
        return {};
    }
    return {result.status == RecordFileStatus::NotRead ? kExitIoErr : kExitDataErr, result.message};
}

int LoadRecordFile(const std::filesystem::path& path, SharedState& state) {
    const RecordFileResult result = kelm::ReadRecordFile(state, path, MessageStyle::Tool);
    if (!result.Done()) {
        PrintError(result.message);
        return result.status == RecordFileStatus::NotRead ? kExitIoErr : kExitDataErr;
    }
    PrintNotice(result.notice);
    return kExitOk;
}

int SaveRecordFile(const SharedState& state, const std::filesystem::path& path) {
    const RecordFileResult result = WriteRecordFile(state, path, MessageStyle::Tool);
    if (!result.Done()) {
        PrintError(result.message);
        return kExitIoErr;
    }
    return kExitOk;
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const char c = utf8[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t start = i;
            const char32_t cp = NextCodePoint(utf8, i);
            // Only what decodes cleanly is copied; the rest is the replacement character.
            const bool clean = cp != 0xFFFD && i - start == Utf8Length(cp);
            out += clean ? utf8.substr(start, i - start) : std::string_view("\xEF\xBF\xBD");
            continue;
        }
        ++i;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::string TabFieldText(std::string_view text) {
    std::string out(text);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
    return out;
}

void AppendTableField(std::string& out, std::string_view text, bool first, bool csv) {
    if (!first) {
        out += csv ? ',' : '\t';
    }
    if (!csv) {
        out += TabFieldText(text);
        return;
    }
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

std::optional<std::string_view> ParsedArgs::Value(std::string_view option) const {
    for (const auto& [name, value] : values) {
        if (name == option) {
            return value;
        }
    }
    return std::nullopt;
}

bool ParsedArgs::Has(std::string_view option) const {
    return std::find(switches.begin(), switches.end(), option) != switches.end();
}

std::optional<ParsedArgs> ParseArgs(std::span<const std::string_view> args,
                                    std::initializer_list<std::string_view> valueOptions,
                                    std::initializer_list<std::string_view> switchOptions) {
    const auto known = [](std::initializer_list<std::string_view> list, std::string_view word) {
        return std::find(list.begin(), list.end(), word) != list.end();
    };
    ParsedArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view word = args[i];
        // "--option=value" is "--option value" in one word.
        const std::size_t equals = word.find('=');
        const bool joined = word.starts_with("--") && equals != std::string_view::npos &&
                            known(valueOptions, word.substr(0, equals));
        if (IsHelp(word)) {
            parsed.help = true;
        } else if (joined || known(valueOptions, word)) {
            if (!joined && i + 1 >= args.size()) {
                PrintError("option " + std::string(word) + " needs a value");
                return std::nullopt;
            }
            const std::string_view value = joined ? word.substr(equals + 1) : args[++i];
            word = joined ? word.substr(0, equals) : word;
            if (parsed.Value(word)) {
                PrintError("option " + std::string(word) + " given twice");
                return std::nullopt;
            }
            parsed.values.emplace_back(word, value);
        } else if (known(switchOptions, word)) {
            parsed.switches.push_back(word);
        } else if (word.size() > 1 && word[0] == '-') {
            PrintError("unknown option " + std::string(word));
            return std::nullopt;
        } else {
            parsed.positional.push_back(word);
        }
    }
    return parsed;
}

std::optional<int> ParseIntInRange(std::string_view word, int low, int high) {
    int value = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseFiniteNumber(std::string_view word) {
    double value = 0.0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::pair<double, double>> ParseVolumeRange(std::string_view word) {
    const std::size_t colon = word.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto end = [](std::string_view text, double open) -> std::optional<double> {
        if (text.empty()) {
            return open;
        }
        const std::optional<double> value = ParseFiniteNumber(text);
        if (!value || *value < 0.0) {
            return std::nullopt;
        }
        return value;
    };
    const std::optional<double> from = end(word.substr(0, colon), -kOpenEnd);
    const std::optional<double> to = end(word.substr(colon + 1), kOpenEnd);
    if (!from || !to || *from > *to) {
        return std::nullopt;
    }
    return std::pair(*from, *to);
}

SeparatorChoice ReadSeparator(const ParsedArgs& args) {
    const bool comma = args.Has("--comma");
    const bool point = args.Has("--point");
    if (comma && point) {
        return {.conflict = true, .decimalComma = std::nullopt};
    }
    if (comma || point) {
        return {.conflict = false, .decimalComma = comma ? 1 : 0};
    }
    return {};
}

int FinishOutput(int status) {
    std::cout.flush();
    if (!std::cout) {
        PrintError("cannot write the output");
        return kExitIoErr;
    }
    return status;
}

int UsageError(std::string_view message, std::string_view usage) {
    PrintError(message);
    std::cerr << "Usage: " << usage << '\n';
    return kExitUsage;
}

}  // namespace kelm::tool
