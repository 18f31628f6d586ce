// The labelled block of a result file's readable part, on arbitrary bytes:
// never a crash or a read outside the input; whatever notes it reads, written
// as a block with either decimal separator, read back the same, with no line
// ignored.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/FileMessages.h"
#include "core/RecordNotes.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::string block;
    const std::string_view readable(reinterpret_cast<const char*>(data), size);

    const kelm::NotesRead read = kelm::ReadNotesBlock(readable);
    if (!read.issues.empty()) {
        // The notice the user gets of the lines ignored.
        Require(!kelm::NoteIssuesMessage(read.issues, kelm::MessageStyle::Tool).empty());
    }
    for (const bool decimalComma : {false, true}) {
        block.clear();
        kelm::AppendNotesBlock(block, read.notes, decimalComma);
        const kelm::NotesRead again = kelm::ReadNotesBlock(block);
        Require(again.issues.empty() && again.notes == read.notes);
    }
    return 0;
}
