#include "FileNames.h"

#include <algorithm>

namespace kelm::tool {

bool FileNames::Next(FileName& name) {
    while (true) {
        if (readingStdin_) {
            if (NextLine(name)) {
                return true;
            }
            readingStdin_ = false;
        }
        if (word_ >= words_.size()) {
            return false;
        }
        const std::string_view word = words_[word_++];
        if (word == kStdinName) {
            readingStdin_ = true;
            continue;
        }
        name.path.assign(word);
        name.problem.clear();
        return true;
    }
}

bool FileNames::NextLine(FileName& name) {
    std::streambuf* buffer = in_.rdbuf();
    while (buffer != nullptr) {
        name.path.clear();
        name.problem.clear();
        bool sawAny = false;
        bool zeroByte = false;
        char last = '\0';
        std::size_t length = 0;
        for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
            sawAny = true;
            if (c == '\n') {
                break;
            }
            last = static_cast<char>(c);
            zeroByte = zeroByte || last == '\0';
            if (++length <= kMaxNameLength) {
                name.path += last;
            }
        }
        if (!sawAny) {
            return false;
        }
        // The carriage return of a list written on Windows ends the line, not
        // the name, also after a name of the longest length.
        if (last == '\r') {
            --length;
            if (name.path.size() > length) {
                name.path.pop_back();
            }
        }
        if (length == 0) {
            continue;  // an empty line names nothing
        }
        if (length > kMaxNameLength) {
            name.problem = "a file name longer than " + std::to_string(kMaxNameLength) + " bytes";
        } else if (zeroByte) {
            name.problem = "a file name with a zero byte";
        }
        return true;
    }
    return false;
}

std::size_t StdinWordCount(std::span<const std::string_view> words) {
    return static_cast<std::size_t>(std::count(words.begin(), words.end(), kStdinName));
}

}  // namespace kelm::tool
