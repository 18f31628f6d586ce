// The labelled block of the readable part: written only when a note differs
// from its default, read back whole, and a line it cannot read ignored on its
// own, never a failed load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Cp1251.h"
#include "core/FileMessages.h"
#include "core/RecordNotes.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace kelm {
namespace {

std::string Cp(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

SharedState Record() {
    SharedState s;
    NewRecord(s);
    ApplyStartDefaults(s);
    s.record.quantity = MeasuredQuantity::Ph;
    s.record.pointCount = 3;
    s.record.points[0] = {0.0, 3.0};
    s.record.points[1] = {5.0, 7.0};
    s.record.points[2] = {10.0, 11.0};
    return s;
}

std::string ReadablePart(const std::string& file) {
    return file.substr(0, file.find(kRecordMarker));
}

EvaluationSettings Window(double from, double to, PointChoice choice = PointChoice::All,
                          int count = 1) {
    return {from, to, choice, count};
}

struct RoundTrip {
    const char* name;
    EvaluationSettings evaluation;
    bool comma;
    const char* block;  // UTF-8; empty: no block at all
};

TEST(RecordNotes, EachSettingIsWrittenReadableAndReadBackTheSame) {
    const RoundTrip cases[] = {
        {"default", {}, false, ""},
        {"window", Window(4.5, 6.25), false,
         "[Kelm]\r\nОкно поиска от, мл: 4.5\r\nОкно поиска до, мл: 6.25\r\n"},
        {"window, comma", Window(4.5, 6.25), true,
         "[Kelm]\r\nОкно поиска от, мл: 4,5\r\nОкно поиска до, мл: 6,25\r\n"},
        {"open end", Window(12.0, kOpenEnd), false, "[Kelm]\r\nОкно поиска от, мл: 12\r\n"},
        {"open start", Window(-kOpenEnd, 0.123456), true,
         "[Kelm]\r\nОкно поиска до, мл: 0,123456\r\n"},
        {"from zero", Window(0.0, 3.0), false,
         "[Kelm]\r\nОкно поиска от, мл: 0\r\nОкно поиска до, мл: 3\r\n"},
        // Every digit a volume has, however many the user gave.
        {"more than six decimals", Window(1.0000001, 6.200000000005), true,
         "[Kelm]\r\nОкно поиска от, мл: 1,0000001\r\nОкно поиска до, мл: 6,200000000005\r\n"},
        {"small and large", Window(0.05, 1e7), false,
         "[Kelm]\r\nОкно поиска от, мл: 0.05\r\nОкно поиска до, мл: 1e+07\r\n"},
        {"greatest", Window(-kOpenEnd, kOpenEnd, PointChoice::Greatest), false,
         "[Kelm]\r\nВыбор точек: наибольшая\r\n"},
        {"first", Window(-kOpenEnd, kOpenEnd, PointChoice::First), false,
         "[Kelm]\r\nВыбор точек: первая\r\n"},
        {"last", Window(-kOpenEnd, kOpenEnd, PointChoice::Last), false,
         "[Kelm]\r\nВыбор точек: последняя\r\n"},
        {"three greatest", Window(1.0, 9.0, PointChoice::GreatestN, 3), false,
         "[Kelm]\r\nОкно поиска от, мл: 1\r\nОкно поиска до, мл: 9\r\n"
         "Выбор точек: 3 наибольших\r\n"},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.name);
        SharedState s = Record();
        s.notes.evaluation = c.evaluation;
        s.display.decimalComma = c.comma ? 1 : 0;
        const std::string file = SaveRecord(s);
        const std::string readable = ReadablePart(file);
        const std::string separator = Cp("============ Двоичные данные");
        // The block stands last, right before the separator line.
        EXPECT_EQ(readable.substr(0, readable.find(separator)).ends_with(Cp(c.block)), true);
        EXPECT_EQ(readable.find("[Kelm]") != std::string::npos, *c.block != '\0');

        SharedState loaded = Record();
        loaded.notes.evaluation = Window(1.0, 2.0, PointChoice::Last);  // replaced by the load
        std::vector<NoteIssue> issues;
        ASSERT_EQ(LoadRecord(loaded, file, &issues), LoadStatus::Loaded);
        EXPECT_TRUE(issues.empty());
        EXPECT_EQ(loaded.notes.evaluation, c.evaluation);
        EXPECT_EQ(SaveRecord(loaded), file);
    }
}

TEST(RecordNotes, ARecordWithoutNotesSavesAsTheOriginalFormatDoes) {
    SharedState s = Record();
    const std::string before = SaveRecord(s);
    s.notes.evaluation = Window(1.0, 2.0, PointChoice::First);
    ASSERT_NE(SaveRecord(s), before);
    // Back to the defaults: not even the heading is left.
    s.notes.evaluation = {};
    EXPECT_EQ(SaveRecord(s), before);
}

// The text that follows a record's tables, as a hand edit may leave it.
std::string FileWithBlock(std::string_view blockUtf8) {
    SharedState s = Record();
    std::string file = SaveRecord(s);
    const std::string separator = Cp("============ Двоичные данные");
    file.insert(file.find(separator), Cp(blockUtf8));
    return file;
}

struct Damaged {
    const char* name;
    const char* block;
    EvaluationSettings expected;
    std::vector<NoteProblem> problems;
};

TEST(RecordNotes, ALineThatCannotBeReadIsIgnoredAndTheOthersCount) {
    using P = NoteProblem;
    const Damaged cases[] = {
        {"not a number",
         "[Kelm]\r\nОкно поиска от, мл: четыре\r\nВыбор точек: первая\r\n",
         Window(-kOpenEnd, kOpenEnd, PointChoice::First),
         {P::BadValue}},
        {"trailing text",
         "[Kelm]\r\nОкно поиска до, мл: 6 мл\r\nОкно поиска от, мл: 2\r\n",
         Window(2.0, kOpenEnd),
         {P::BadValue}},
        {"negative", "[Kelm]\r\nОкно поиска от, мл: -1\r\n", {}, {P::BadValue}},
        {"infinite", "[Kelm]\r\nОкно поиска до, мл: inf\r\n", {}, {P::BadValue}},
        {"unknown label",
         "[Kelm]\r\nЦвет: синий\r\nВыбор точек: последняя\r\n",
         Window(-kOpenEnd, kOpenEnd, PointChoice::Last),
         {P::UnknownLabel}},
        {"no colon", "[Kelm]\r\nпросто текст\r\n", {}, {P::NotALabelledLine}},
        {"bad choice",
         "[Kelm]\r\nВыбор точек: любая\r\nВыбор точек: 0 наибольших\r\n"
         "Выбор точек: 251 наибольших\r\nВыбор точек: 2наибольших\r\n",
         {},
         {P::BadValue, P::BadValue, P::BadValue, P::BadValue}},
        {"window backwards",
         "[Kelm]\r\nОкно поиска от, мл: 8\r\nОкно поиска до, мл: 3\r\n",
         {},
         {P::Contradiction, P::Contradiction}},
        // Edited with a Unix editor, padded, with an empty line: still read.
        {"LF and blanks",
         "[Kelm]\n  Окно поиска от, мл :  1,5 \n\nВыбор точек: 2 наибольшие\n",
         Window(1.5, kOpenEnd, PointChoice::GreatestN, 2),
         {}},
        // A later line wins over an earlier one, as in any settings file.
        {"repeated",
         "[Kelm]\r\nВыбор точек: первая\r\nВыбор точек: последняя\r\n",
         Window(-kOpenEnd, kOpenEnd, PointChoice::Last),
         {}},
        // The count goes with the greatest n: the later choice leaves none behind.
        {"repeated after a count",
         "[Kelm]\r\nВыбор точек: 3 наибольших\r\nВыбор точек: первая\r\n",
         Window(-kOpenEnd, kOpenEnd, PointChoice::First),
         {}},
    };
    for (const Damaged& c : cases) {
        SCOPED_TRACE(c.name);
        SharedState s = Record();
        std::vector<NoteIssue> issues;
        ASSERT_EQ(LoadRecord(s, FileWithBlock(c.block), &issues), LoadStatus::Loaded);
        EXPECT_EQ(s.notes.evaluation, c.expected);
        std::vector<NoteProblem> problems;
        for (const NoteIssue& issue : issues) {
            problems.push_back(issue.problem);
        }
        EXPECT_EQ(problems, c.problems);
        // The points load all the same.
        EXPECT_EQ(s.record.pointCount, 3);
    }
}

TEST(RecordNotes, OnlyABlockAfterTheTablesCounts) {
    // A description may hold anything, the heading and its lines included.
    SharedState s = Record();
    const std::string lines = Cp("[Kelm]\r\nВыбор точек: первая");
    std::copy(lines.begin(), lines.end(), s.record.description.begin());
    SharedState loaded = Record();
    ASSERT_EQ(LoadRecord(loaded, SaveRecord(s)), LoadStatus::Loaded);
    EXPECT_EQ(loaded.notes.evaluation, EvaluationSettings{});
    // Nor does a block after the separator line or a file without any table.
    const NotesRead read =
        ReadNotesBlock(Cp("x\r\n[Kelm]\r\nВыбор точек: первая\r\n============ Двоичные данные - не "
                          "изменять ============\r\n[Kelm]\r\nВыбор точек: последняя\r\n"));
    EXPECT_EQ(read.notes.evaluation.choice, PointChoice::First);
}

TEST(RecordNotes, IgnoredLinesAreWordedForTheWindowAndForTheTool) {
    const std::vector<NoteIssue> one = {{Cp("Окно поиска от, мл: четыре"), NoteProblem::BadValue}};
    EXPECT_EQ(NoteIssuesMessage(one, MessageStyle::Window),
              "Строка блока [Kelm] не прочитана и пропущена:\n"
              "«Окно поиска от, мл: четыре» — значение не прочитано\n"
              "Остальное загружено.");
    EXPECT_EQ(NoteIssuesMessage(one, MessageStyle::Tool, "a.kel: "),
              "a.kel: line 'Окно поиска от, мл: четыре' of the [Kelm] block ignored: the value "
              "cannot be read");
    EXPECT_EQ(NoteIssuesMessage({}, MessageStyle::Window), "");
    // A block of thousands of bad lines gives a message of a few lines.
    const std::vector<NoteIssue> many(5000, {std::string(100, 'x'), NoteProblem::UnknownLabel});
    const std::string message = NoteIssuesMessage(many, MessageStyle::Tool);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 10);
    EXPECT_TRUE(message.ends_with("4990 more lines of the [Kelm] block ignored"));
}

}  // namespace
}  // namespace kelm
