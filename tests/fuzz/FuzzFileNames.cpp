// The names `process -` and `replicates -` read from standard input, on
// arbitrary bytes: never a crash or a read outside the input, and each name
// the one line it stands on, as a plain reading of the lines has it: split at
// the line feeds, less one carriage return at the end, empty lines skipped; a
// longer line than a name may be is cut and named too long, and a zero byte
// makes no name. The word after "-" follows the last line.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <streambuf>
#include <string_view>

#include "tools/kelmtool/FileNames.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The input as a stream, without a copy.
class Bytes : public std::streambuf {
public:
    void Reset(const std::uint8_t* data, std::size_t size) {
        // Only read: the stream is never written through.
        char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
        setg(begin, begin, begin + size);
    }
};

void RequireName(const kelm::tool::FileName& name, std::string_view line) {
    using kelm::tool::kMaxNameLength;
    if (line.size() > kMaxNameLength) {
        Require(name.path == line.substr(0, kMaxNameLength) && !name.problem.empty());
    } else {
        Require(name.path == line &&
                name.problem.empty() == (line.find('\0') == std::string_view::npos));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Bytes bytes;
    static std::istream in(&bytes);
    static kelm::tool::FileName name;
    constexpr std::array<std::string_view, 2> kWords = {kelm::tool::kStdinName, "after.kel"};
    bytes.Reset(data, size);
    in.clear();

    kelm::tool::FileNames names(kWords, in);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            Require(names.Next(name));
            RequireName(name, line);
        }
    }
    Require(names.Next(name) && name.path == kWords[1] && name.problem.empty());
    Require(!names.Next(name));
    return 0;
}
