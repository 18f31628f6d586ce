// The result data in the record's block: every field written readable, read
// back the same in either separator, a record without them saved as before,
// and a damaged line ignored on its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Cp1251.h"
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

// The block as it stands before the separator line, UTF-8.
std::string Block(const std::string& file) {
    const std::size_t start = file.find("[Kelm]");
    const std::size_t end = file.find(Cp("============ Двоичные данные"));
    return start == std::string::npos ? std::string()
                                      : Cp1251ToUtf8(file.substr(start, end - start));
}

TEST(ResultNotes, EachFieldIsWrittenReadableAndReadBackTheSame) {
    const struct {
        const char* name;
        void (*set)(ResultSettings&);
        bool comma;
        const char* line;
    } table[] = {
        {"sample", [](ResultSettings& r) { SetName(r.sampleName, Cp("HCl: проба №2")); }, false,
         "Проба: HCl: проба №2"},
        {"amount", [](ResultSettings& r) { r.sampleAmount = 20.0; }, false,
         "Количество пробы: 20 мл"},
        {"mass",
         [](ResultSettings& r) {
             r.sampleAmount = 0.1234;
             r.sampleUnit = SampleUnit::Gram;
         },
         true, "Количество пробы: 0,1234 г"},
        {"titrant", [](ResultSettings& r) { SetName(r.titrantName, "NaOH"); }, false,
         "Титрант: NaOH"},
        {"concentration", [](ResultSettings& r) { r.concentration = 0.0987654321; }, true,
         "Концентрация титранта, моль/л: 0,0987654321"},
        {"titer", [](ResultSettings& r) { r.titer = 0.9954204336312568; }, false,
         "Титр: 0.9954204336312568"},
        {"blank", [](ResultSettings& r) { r.blank = 0.05; }, false, "Холостой опыт, мл: 0.05"},
        {"ratio", [](ResultSettings& r) { r.ratio = 0.5; }, false,
         "Стехиометрический коэффициент: 0.5"},
        {"molar mass", [](ResultSettings& r) { r.molarMass = 36.46; }, true,
         "Молярная масса, г/моль: 36,46"},
        {"unit", [](ResultSettings& r) { r.unit = ResultUnit::MillimolPerGram; }, false,
         "Единица результата: ммоль/г"},
        {"percent", [](ResultSettings& r) { r.unit = ResultUnit::Percent; }, false,
         "Единица результата: %"},
        {"titer determination", [](ResultSettings& r) { r.titerDetermination = true; }, false,
         "Установка титра: да"},
        {"standard mass", [](ResultSettings& r) { r.standardMass = 0.4084; }, false,
         "Масса стандарта, г: 0.4084"},
        {"purity", [](ResultSettings& r) { r.standardPurity = 99.95; }, true,
         "Чистота стандарта, %: 99,95"},
        {"standard M", [](ResultSettings& r) { r.standardMolarMass = 204.22; }, false,
         "Молярная масса стандарта, г/моль: 204.22"},
        {"standard ratio", [](ResultSettings& r) { r.standardRatio = 2.0; }, false,
         "Стехиометрический коэффициент стандарта: 2"},
        {"tiny", [](ResultSettings& r) { r.concentration = 1e-7; }, false,
         "Концентрация титранта, моль/л: 1e-07"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        SharedState s = Record();
        row.set(s.notes.result);
        s.display.decimalComma = row.comma ? 1 : 0;
        const std::string file = SaveRecord(s);
        EXPECT_EQ(Block(file), "[Kelm]\r\n" + std::string(row.line) + "\r\n");

        SharedState loaded = Record();
        SetName(loaded.notes.result.titrantName, "KOH");  // replaced by the load
        std::vector<NoteIssue> issues;
        ASSERT_EQ(LoadRecord(loaded, file, &issues), LoadStatus::Loaded);
        EXPECT_TRUE(issues.empty());
        EXPECT_EQ(loaded.notes.result, s.notes.result);
        EXPECT_EQ(SaveRecord(loaded), file);
    }
}

TEST(ResultNotes, WithoutResultDataTheFileIsByteForByteTheOriginal) {
    SharedState s = Record();
    const std::string before = SaveRecord(s);
    s.notes.result.sampleAmount = 20.0;
    s.notes.result.titer = 1.01;
    ASSERT_NE(SaveRecord(s), before);
    // The encoded part stays the original format's.
    const std::string encoded = before.substr(before.find(kRecordMarker));
    EXPECT_TRUE(SaveRecord(s).ends_with(encoded));
    s.notes.result = ResultSettings{};
    EXPECT_EQ(SaveRecord(s), before);
    // Every field at its default value writes nothing, the titer of 1 included.
    s.notes.result.titer = 1.0;
    s.notes.result.standardPurity = 100.0;
    EXPECT_EQ(SaveRecord(s), before);
}

TEST(ResultNotes, AllTheFieldsAndTheEvaluationShareOneBlock) {
    SharedState s = Record();
    ResultSettings& r = s.notes.result;
    SetName(r.sampleName, "HCl 1");
    r.sampleAmount = 20.0;
    SetName(r.titrantName, "NaOH");
    r.concentration = 0.1;
    r.titer = 0.9954;
    s.notes.evaluation.windowFrom = 15.0;
    const std::string file = SaveRecord(s);
    EXPECT_EQ(Block(file),
              "[Kelm]\r\nОкно поиска от, мл: 15\r\nПроба: HCl 1\r\nКоличество пробы: 20 мл\r\n"
              "Титрант: NaOH\r\nКонцентрация титранта, моль/л: 0.1\r\nТитр: 0.9954\r\n");
    SharedState loaded = Record();
    ASSERT_EQ(LoadRecord(loaded, file), LoadStatus::Loaded);
    EXPECT_EQ(loaded.notes, s.notes);
    // A file without a block leaves no data of the record before it.
    ASSERT_EQ(LoadRecord(loaded, SaveRecord(Record())), LoadStatus::Loaded);
    EXPECT_TRUE(loaded.notes.result.IsDefault());
}

TEST(ResultNotes, ADamagedLineIsIgnoredAndTheOthersCount) {
    const struct {
        const char* line;
        NoteProblem problem;
    } table[] = {
        {"Количество пробы: 20 кг", NoteProblem::BadValue},
        {"Количество пробы: 20", NoteProblem::BadValue},
        {"Количество пробы: -2 мл", NoteProblem::BadValue},
        {"Титр: abc", NoteProblem::BadValue},
        {"Титр: nan", NoteProblem::BadValue},
        {"Титр: 1e999", NoteProblem::BadValue},
        {"Концентрация титранта, моль/л: -0,1", NoteProblem::BadValue},
        {"Единица результата: kg", NoteProblem::BadValue},
        {"Установка титра: может быть", NoteProblem::BadValue},
        {"Титр 0,99", NoteProblem::NotALabelledLine},
        {"Титр раствора: 0,99", NoteProblem::UnknownLabel},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.line);
        SharedState s = Record();
        std::string file = SaveRecord(s);
        const std::string block = "[Kelm]\r\nКоличество пробы: 25 мл\r\n" + std::string(row.line) +
                                  "\r\nМолярная масса, г/моль: 36,46\r\n";
        file.insert(file.find(Cp("============ Двоичные данные")), Cp(block));
        SharedState loaded = Record();
        std::vector<NoteIssue> issues;
        ASSERT_EQ(LoadRecord(loaded, file, &issues), LoadStatus::Loaded);
        ASSERT_EQ(issues.size(), 1u);
        EXPECT_EQ(issues[0].problem, row.problem);
        // The other lines are read, a damaged amount keeps the one before it.
        EXPECT_EQ(loaded.notes.result.sampleAmount, 25.0);
        EXPECT_EQ(loaded.notes.result.molarMass, 36.46);
        EXPECT_EQ(loaded.notes.result.titer, 1.0);
    }
}

TEST(ResultNotes, ANameNeverBreaksItsLineAndALongOneIsCut) {
    SharedState s = Record();
    SetName(s.notes.result.sampleName,
            "a\r\nb\x1D"
            "c");
    const std::string file = SaveRecord(s);
    EXPECT_EQ(Block(file), "[Kelm]\r\nПроба: a  b c\r\n");
    SharedState loaded = Record();
    ASSERT_EQ(LoadRecord(loaded, file), LoadStatus::Loaded);
    EXPECT_EQ(NameView(loaded.notes.result.sampleName), "a  b c");

    std::string edited = SaveRecord(Record());
    edited.insert(edited.find(Cp("============ Двоичные данные")),
                  "[Kelm]\r\n" + Cp("Титрант: ") + std::string(300, 'x') + "\r\n");
    ASSERT_EQ(LoadRecord(loaded, edited), LoadStatus::Loaded);
    EXPECT_EQ(NameView(loaded.notes.result.titrantName), std::string(100, 'x'));

    // A name holding the separator's text keeps it and every line after it.
    const std::string separator = Cp("============ Двоичные данные - не изменять ============");
    s = Record();
    SetName(s.notes.result.sampleName, separator);
    s.notes.result.sampleAmount = 25.0;
    ASSERT_EQ(LoadRecord(loaded, SaveRecord(s)), LoadStatus::Loaded);
    EXPECT_EQ(loaded.notes.result, s.notes.result);
    // Only the separator line ends the block, wherever else its text stands.
    std::string block;
    AppendNotesBlock(block, s.notes, false);
    EXPECT_EQ(ReadNotesBlock(block + block).notes.result, s.notes.result);

    // A hand edit may turn a titer determination off in words.
    edited = SaveRecord(Record());
    edited.insert(edited.find(separator), Cp("[Kelm]\r\nУстановка титра: нет\r\n"));
    std::vector<NoteIssue> issues;
    ASSERT_EQ(LoadRecord(loaded, edited, &issues), LoadStatus::Loaded);
    EXPECT_TRUE(issues.empty());
    EXPECT_FALSE(loaded.notes.result.titerDetermination);
}

TEST(ResultNotes, AHandEditedNameIsReadAsItsLineIsWrittenBack) {
    const struct {
        const char* name;
        std::string line;  // code page 1251
        std::string expected;
    } table[] = {
        {"control bytes",
         Cp("Проба: a\x01"
            "b\tc"),
         "a b c"},
        {"a control byte first", Cp("Титрант: \x02 NaOH"), "NaOH"},
        {"a blank where it is cut", Cp("Проба: ") + std::string(99, 'x') + " yz",
         std::string(99, 'x')},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        std::string file = SaveRecord(Record());
        file.insert(file.find(Cp("============ Двоичные данные")),
                    "[Kelm]\r\n" + row.line + "\r\n");
        SharedState loaded = Record();
        ASSERT_EQ(LoadRecord(loaded, file), LoadStatus::Loaded);
        const RecordNotes read = loaded.notes;
        const std::string_view name = NameView(
            row.line.starts_with(Cp("Проба")) ? read.result.sampleName : read.result.titrantName);
        EXPECT_EQ(name, row.expected);
        // Saved and loaded again, the name is the same.
        ASSERT_EQ(LoadRecord(loaded, SaveRecord(loaded)), LoadStatus::Loaded);
        EXPECT_EQ(loaded.notes, read);
    }
}

}  // namespace
}  // namespace kelm
