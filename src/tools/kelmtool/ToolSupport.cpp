#include "ToolSupport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

#include "core/AtomicFile.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace kelm::tool {

void PrintError(std::string_view message) {
    std::cerr << "kelmtool: " << message << '\n';
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    return kelm::WriteFileAtomically(path, bytes);
}

void InitFreshState(SharedState& state) {
    state = SharedState{};
    NewRecord(state);
    ApplyStartDefaults(state);
}

int LoadRecordFile(const std::filesystem::path& path, SharedState& state) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        PrintError("cannot read " + path.string());
        return kExitIoErr;
    }
    const LoadStatus status = LoadRecord(state, *bytes);
    if (status != LoadStatus::Loaded) {
        PrintError(path.string() + ": " + std::string(LoadFailureMessage(status)));
        return kExitDataErr;
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
    for (char c : utf8) {
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

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

}  // namespace kelm::tool
