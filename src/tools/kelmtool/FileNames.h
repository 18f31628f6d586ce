// The result files a command works on, one after another: the words it was
// given, where "-" stands for the names read from standard input, one a line.
// Names from standard input are read as they are needed, so a list of any
// length takes no more memory than one name.
#pragma once

#include <cstddef>
#include <istream>
#include <span>
#include <string>
#include <string_view>

namespace kelm::tool {

inline constexpr std::string_view kStdinName = "-";
// A longer line is no file name; the rest of it is skipped.
inline constexpr std::size_t kMaxNameLength = 4096;

struct FileName {
    std::string path;
    std::string problem;  // why `path` cannot be a file's name; empty when it can
};

class FileNames {
public:
    FileNames(std::span<const std::string_view> words, std::istream& in) : words_(words), in_(in) {}

    // The next name into `name`; false after the last. Empty lines and a
    // carriage return at a line's end are skipped.
    bool Next(FileName& name);

private:
    bool NextLine(FileName& name);

    std::span<const std::string_view> words_;
    std::size_t word_ = 0;
    bool readingStdin_ = false;
    std::istream& in_;
};

// How many of `words` are "-"; a command takes standard input only once.
std::size_t StdinWordCount(std::span<const std::string_view> words);

}  // namespace kelm::tool
