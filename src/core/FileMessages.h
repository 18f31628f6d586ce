// What the user is told when a file could not be read or written: the
// window's Russian sentences, kelmtool's "cannot read PATH: reason" lines.
#pragma once

#include <filesystem>
#include <string>

#include "core/FileReader.h"
#include "core/FileWriter.h"

namespace kelm {

enum class MessageStyle {
    Window,  // a sentence for a message box, the path in «»
    Tool,    // kelmtool's line after "kelmtool: "
    Reason,  // what went wrong alone, for a table that names the file itself
};

std::string ReadFailureMessage(const ReadResult& result, const std::filesystem::path& path,
                               MessageStyle style);
std::string WriteFailureMessage(const WriteResult& result, const std::filesystem::path& path,
                                MessageStyle style);

}  // namespace kelm
