// The record's notes: what a result file keeps beyond the original format
// (how the equivalence points are evaluated, ...), as a short block of
// labelled lines at the end of its readable part:
//
//     [Kelm]
//     Окно поиска от, мл: 4,5
//     Выбор точек: наибольшая
//
// The encoded part stays exactly the original one, so every reader of that
// format loads the file, and the block is written only when a note differs
// from its default, so a record without notes saves byte for byte as before.
// This module owns the block's grammar; nothing else parses it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/EvaluationSettings.h"
#include "core/ResultSettings.h"

namespace kelm {

enum class MessageStyle;  // core/FileMessages.h

struct RecordNotes {
    EvaluationSettings evaluation;
    // The sample, the titrant and the unit of the record's result.
    ResultSettings result;

    bool IsDefault() const { return evaluation.IsDefault() && result.IsDefault(); }
    friend bool operator==(const RecordNotes&, const RecordNotes&) = default;
};

// The block's first line.
inline constexpr std::string_view kNotesHeading = "[Kelm]";

// Appends the block (lines ending in CR LF, code page 1251, numbers with the
// given separator); nothing when every note has its default.
void AppendNotesBlock(std::string& out, const RecordNotes& notes, bool decimalComma);

// Why a line of the block was ignored.
enum class NoteProblem {
    NotALabelledLine,  // no "label: value"
    UnknownLabel,
    BadValue,       // the label's value cannot be read
    Contradiction,  // read, but at odds with another line (a window that ends before it starts)
};

struct NoteIssue {
    std::string line;  // as it stands in the file, code page 1251
    NoteProblem problem = NoteProblem::BadValue;
};

struct NotesRead {
    RecordNotes notes;
    std::vector<NoteIssue> issues;  // the lines ignored, in file order
};

// The notes of a readable part (the bytes before the marker). The block is
// the lines after the last heading line that follows the measured points'
// table, up to the separator line; without a block every note has its
// default. A line that cannot be read is ignored and named in `issues`; the
// other lines still count.
NotesRead ReadNotesBlock(std::string_view readablePart);

// The ignored lines worded for the one who opened the file (UTF-8): for the
// window a Russian sentence, for kelmtool an English line per issue, each
// after `linePrefix`. Empty without issues.
std::string NoteIssuesMessage(std::span<const NoteIssue> issues, MessageStyle style,
                              std::string_view linePrefix = {});

}  // namespace kelm
