// The ".kel" result file: a readable text part for people and other programs,
// then the marker byte 0x1D and the hexadecimal encoded part that loading reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelm {

struct SharedState;
struct NoteIssue;

inline constexpr char kRecordMarker = '\x1D';

enum class LoadStatus {
    Loaded,         // the record in memory is the file's
    NoData,         // a byte 0 came before the marker; nothing changed
    UnexpectedEnd,  // the file ended before its data did; nothing changed
};

// The messages the program shows for the two failures (UTF-8).
inline constexpr std::string_view kNoDataMessage = "Нет данных для чтения";
inline constexpr std::string_view kUnexpectedFormatMessage = "Unexpected file format.";
std::string_view LoadFailureMessage(LoadStatus status);

// The whole file as bytes (code page 1251 text, then the encoded part).
std::string SaveRecord(const SharedState& state);
// The same into `out`, whose buffer is reused.
void SaveRecord(const SharedState& state, std::string& out);

// Reads the encoded part into the state, and the notes of the readable
// block. A failed load changes nothing: the file is read into scratch state
// that is committed only when it succeeded, and then the record gets a new
// identity. The block's lines that could not be read go into `issues` when it
// is given; they never fail the load.
LoadStatus LoadRecord(SharedState& state, std::string_view bytes);
LoadStatus LoadRecord(SharedState& state, std::string_view bytes, std::vector<NoteIssue>* issues);

}  // namespace kelm
