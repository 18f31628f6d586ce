#include "core/RecordNotes.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "core/Cp1251.h"
#include "core/FileMessages.h"
#include "core/NumberText.h"

namespace kelm {

namespace {

// What a message quotes of an ignored line, and how many lines it names.
constexpr std::size_t kQuotedLineBytes = 100;
constexpr std::size_t kIssuesNamed = 10;

constexpr Cp1251Literal kWindowFromLabel("Окно поиска от, мл");
constexpr Cp1251Literal kWindowToLabel("Окно поиска до, мл");
constexpr Cp1251Literal kChoiceLabel("Выбор точек");

constexpr Cp1251Literal kChoiceAll("все");
constexpr Cp1251Literal kChoiceGreatest("наибольшая");
constexpr Cp1251Literal kChoiceFirst("первая");
constexpr Cp1251Literal kChoiceLast("последняя");
// "3 наибольших"; "наибольшие" reads as well.
constexpr Cp1251Literal kChoiceGreatestN("наибольших");
constexpr Cp1251Literal kChoiceGreatestNAlso("наибольшие");

// Lines that bound the search for the block from above and below.
constexpr Cp1251Literal kVolumeColumn("Объем \t");
constexpr Cp1251Literal kSeparatorLine("============ Двоичные данные - не изменять ============");

// A window end: a finite volume, not below 0.
bool ReadVolume(std::string_view text, double& into) {
    const std::optional<double> value = ParseExactNumber(text);
    if (!value || *value < 0.0) {
        return false;
    }
    into = *value;
    return true;
}

std::optional<std::string> WriteChoice(const EvaluationSettings& e) {
    switch (e.choice) {
        case PointChoice::All:
            return std::nullopt;
        case PointChoice::Greatest:
            return std::string(kChoiceGreatest.view());
        case PointChoice::First:
            return std::string(kChoiceFirst.view());
        case PointChoice::Last:
            return std::string(kChoiceLast.view());
        case PointChoice::GreatestN:
            return std::to_string(e.count) + " " + std::string(kChoiceGreatestN.view());
    }
    return std::nullopt;
}

bool ReadChoice(std::string_view text, EvaluationSettings& e) {
    const std::array<std::pair<std::string_view, PointChoice>, 4> words = {{
        {kChoiceAll.view(), PointChoice::All},
        {kChoiceGreatest.view(), PointChoice::Greatest},
        {kChoiceFirst.view(), PointChoice::First},
        {kChoiceLast.view(), PointChoice::Last},
    }};
    for (const auto& [word, choice] : words) {
        if (text == word) {
            // The count is the greatest n's alone: an earlier line's is gone.
            e.choice = choice;
            e.count = EvaluationSettings{}.count;
            return true;
        }
    }
    int count = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    const std::string_view rest = text.substr(static_cast<std::size_t>(stop - text.data()));
    if (error != std::errc() || count < 1 || count > kMaxChoiceCount || rest.empty() ||
        rest.front() != ' ') {
        return false;
    }
    const std::string_view word = rest.substr(rest.find_first_not_of(' '));
    if (word != kChoiceGreatestN.view() && word != kChoiceGreatestNAlso.view()) {
        return false;
    }
    e.choice = PointChoice::GreatestN;
    e.count = count;
    return true;
}

// One labelled line of the block: how it is written from the notes (nothing
// when the note has its default) and read back into them.
struct NoteLine {
    std::string_view label;
    std::optional<std::string> (*write)(const RecordNotes&, bool decimalComma);
    bool (*read)(std::string_view value, RecordNotes&);
};

constexpr Cp1251Literal kSampleLabel("Проба");
constexpr Cp1251Literal kSampleAmountLabel("Количество пробы");
constexpr Cp1251Literal kTitrantLabel("Титрант");
constexpr Cp1251Literal kConcentrationLabel("Концентрация титранта, моль/л");
constexpr Cp1251Literal kTiterLabel("Титр");
constexpr Cp1251Literal kBlankLabel("Холостой опыт, мл");
constexpr Cp1251Literal kRatioLabel("Стехиометрический коэффициент");
constexpr Cp1251Literal kMolarMassLabel("Молярная масса, г/моль");
constexpr Cp1251Literal kUnitLabel("Единица результата");
constexpr Cp1251Literal kTiterDeterminationLabel("Установка титра");
constexpr Cp1251Literal kStandardMassLabel("Масса стандарта, г");
constexpr Cp1251Literal kPurityLabel("Чистота стандарта, %");
constexpr Cp1251Literal kStandardMolarMassLabel("Молярная масса стандарта, г/моль");
constexpr Cp1251Literal kStandardRatioLabel("Стехиометрический коэффициент стандарта");
constexpr Cp1251Literal kYes("да");
constexpr Cp1251Literal kNo("нет");
constexpr Cp1251Literal kMillilitre("мл");
constexpr Cp1251Literal kGram("г");
constexpr Cp1251Literal kMolPerLitre("моль/л");
constexpr Cp1251Literal kMillimolPerLitre("ммоль/л");
constexpr Cp1251Literal kGramPerLitre("г/л");
constexpr Cp1251Literal kMilligramPerLitre("мг/л");
constexpr Cp1251Literal kMilligramPerGram("мг/г");
constexpr Cp1251Literal kMillimolPerGram("ммоль/г");
// In the order of ResultUnit.
constexpr std::array<std::string_view, kResultUnitCount> kUnitWords = {
    kMolPerLitre.view(),
    kMillimolPerLitre.view(),
    kGramPerLitre.view(),
    kMilligramPerLitre.view(),
    "%",
    kMilligramPerGram.view(),
    kMillimolPerGram.view(),
};

// A quantity of the result data: a finite number, not below 0 (the results
// themselves refuse what is out of their range, with their own words).
bool ReadQuantity(std::string_view text, double& into) {
    const std::optional<double> value = ParseExactNumber(text);
    if (!value || *value < 0.0) {
        return false;
    }
    into = *value;
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A name as one line of the block holds it: line ends and other control bytes
// would break the block, so they are spaces, and the blanks at its ends, which
// the line loses when it is read, are gone.
std::string NameText(std::string_view name) {
    std::string text(name);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return std::string(Trimmed(text));
}

// The default is a whole number, which every compiler takes as a template argument.
template <double ResultSettings::*member, int fallback>
NoteLine QuantityLine(std::string_view label) {
    return {
        label,
        [](const RecordNotes& n, bool comma) -> std::optional<std::string> {
            const double value = n.result.*member;
            return value == double(fallback) ? std::nullopt
                                             : std::optional(ExactNumberText(value, comma).str());
        },
        [](std::string_view text, RecordNotes& n) { return ReadQuantity(text, n.result.*member); }};
}

template <ResultName ResultSettings::*member>
NoteLine NameLine(std::string_view label) {
    return {label,
            [](const RecordNotes& n, bool) -> std::optional<std::string> {
                const std::string text = NameText(NameView(n.result.*member));
                return text.empty() ? std::nullopt : std::optional(text);
            },
            [](std::string_view text, RecordNotes& n) {
                // Kept as the block holds it, so that it is written back the
                // same: what fits of it, up to a zero byte.
                ResultName& name = n.result.*member;
                SetName(name, text);
                SetName(name, NameText(NameView(name)));
                return true;
            }};
}

// "20 мл" or "0,5 г".
std::optional<std::string> WriteSampleAmount(const RecordNotes& n, bool comma) {
    const ResultSettings& r = n.result;
    if (r.sampleAmount == 0.0 && r.sampleUnit == SampleUnit::Millilitre) {
        return std::nullopt;
    }
    return ExactNumberText(r.sampleAmount, comma).str() + ' ' +
           std::string(r.sampleUnit == SampleUnit::Gram ? kGram.view() : kMillilitre.view());
}

bool ReadSampleAmount(std::string_view text, RecordNotes& n) {
    const std::size_t space = text.rfind(' ');
    if (space == std::string_view::npos) {
        return false;
    }
    const std::string_view unit = text.substr(space + 1);
    if (unit != kGram.view() && unit != kMillilitre.view()) {
        return false;
    }
    ResultSettings& r = n.result;
    if (!ReadQuantity(text.substr(0, space), r.sampleAmount)) {
        return false;
    }
    r.sampleUnit = unit == kGram.view() ? SampleUnit::Gram : SampleUnit::Millilitre;
    return true;
}

std::optional<std::string> WriteUnit(const RecordNotes& n, bool) {
    const int unit = static_cast<int>(n.result.unit);
    if (n.result.unit == ResultSettings{}.unit || unit < 0 || unit >= kResultUnitCount) {
        return std::nullopt;
    }
    return std::string(kUnitWords[static_cast<std::size_t>(unit)]);
}

bool ReadUnit(std::string_view text, RecordNotes& n) {
    for (std::size_t k = 0; k < kUnitWords.size(); ++k) {
        if (text == kUnitWords[k]) {
            n.result.unit = static_cast<ResultUnit>(k);
            return true;
        }
    }
    return false;
}

// The window ends, like every number of the block, are written with all the
// digits they have, so that the file keeps what the user gave.
const std::array<NoteLine, 17> kLines = {{
    {kWindowFromLabel.view(),
     [](const RecordNotes& n, bool comma) -> std::optional<std::string> {
         const double from = n.evaluation.windowFrom;
         return from == -kOpenEnd ? std::nullopt
                                  : std::optional(ExactNumberText(from, comma).str());
     },
     [](std::string_view text, RecordNotes& n) {
         return ReadVolume(text, n.evaluation.windowFrom);
     }},
    {kWindowToLabel.view(),
     [](const RecordNotes& n, bool comma) -> std::optional<std::string> {
         const double to = n.evaluation.windowTo;
         return to == kOpenEnd ? std::nullopt : std::optional(ExactNumberText(to, comma).str());
     },
     [](std::string_view text, RecordNotes& n) { return ReadVolume(text, n.evaluation.windowTo); }},
    {kChoiceLabel.view(), [](const RecordNotes& n, bool) { return WriteChoice(n.evaluation); },
     [](std::string_view text, RecordNotes& n) { return ReadChoice(text, n.evaluation); }},
    NameLine<&ResultSettings::sampleName>(kSampleLabel.view()),
    {kSampleAmountLabel.view(), WriteSampleAmount, ReadSampleAmount},
    NameLine<&ResultSettings::titrantName>(kTitrantLabel.view()),
    QuantityLine<&ResultSettings::concentration, 0>(kConcentrationLabel.view()),
    QuantityLine<&ResultSettings::titer, 1>(kTiterLabel.view()),
    QuantityLine<&ResultSettings::blank, 0>(kBlankLabel.view()),
    QuantityLine<&ResultSettings::ratio, 1>(kRatioLabel.view()),
    QuantityLine<&ResultSettings::molarMass, 0>(kMolarMassLabel.view()),
    {kUnitLabel.view(), WriteUnit, ReadUnit},
    {kTiterDeterminationLabel.view(),
     [](const RecordNotes& n, bool) -> std::optional<std::string> {
         return n.result.titerDetermination ? std::optional(std::string(kYes.view()))
                                            : std::nullopt;
     },
     // "нет" is what a hand edit would write to turn it off.
     [](std::string_view text, RecordNotes& n) {
         n.result.titerDetermination = text == kYes.view();
         return n.result.titerDetermination || text == kNo.view();
     }},
    QuantityLine<&ResultSettings::standardMass, 0>(kStandardMassLabel.view()),
    QuantityLine<&ResultSettings::standardPurity, 100>(kPurityLabel.view()),
    QuantityLine<&ResultSettings::standardMolarMass, 0>(kStandardMolarMassLabel.view()),
    QuantityLine<&ResultSettings::standardRatio, 1>(kStandardRatioLabel.view()),
}};

// The lines of a text, without their line ends (CR LF, or LF alone after a
// hand edit).
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        visit(line, start);
        start = end + 1;
    }
}

// The block's lines: those after the last heading line that stands between
// the last column line of a table and the separator line, so that a
// description that holds such lines is never taken for the block; nothing
// without a heading there.
std::optional<std::string_view> BlockLines(std::string_view text) {
    std::size_t tables = 0;
    ForEachLine(text, [&](std::string_view line, std::size_t at) {
        if (line.starts_with(kVolumeColumn.view())) {
            tables = at;
        }
    });
    std::string_view region = text.substr(tables);
    // The block ends at the separator line itself; a name may hold its text.
    std::size_t separator = std::string_view::npos;
    ForEachLine(region, [&](std::string_view line, std::size_t at) {
        if (separator == std::string_view::npos && Trimmed(line) == kSeparatorLine.view()) {
            separator = at;
        }
    });
    region = region.substr(0, separator);
    std::optional<std::string_view> block;
    ForEachLine(region, [&](std::string_view line, std::size_t at) {
        if (Trimmed(line) == kNotesHeading) {
            block = region.substr(at + line.size());
        }
    });
    return block;
}

void Ignore(std::string_view line, NoteProblem problem, NotesRead& read) {
    read.issues.push_back({std::string(line.substr(0, kQuotedLineBytes)), problem});
}

void ReadLine(std::string_view line, NotesRead& read) {
    const std::string_view text = Trimmed(line);
    if (text.empty()) {
        return;
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        Ignore(text, NoteProblem::NotALabelledLine, read);
        return;
    }
    const std::string_view label = Trimmed(text.substr(0, colon));
    const std::string_view value = Trimmed(text.substr(colon + 1));
    for (const NoteLine& kind : kLines) {
        if (kind.label == label) {
            // A value is read into a copy, so a line that fails changes nothing.
            RecordNotes notes = read.notes;
            if (kind.read(value, notes)) {
                read.notes = notes;
            } else {
                Ignore(text, NoteProblem::BadValue, read);
            }
            return;
        }
    }
    Ignore(text, NoteProblem::UnknownLabel, read);
}

// A window that ends before it starts searches nothing: both ends are dropped.
void CheckWindow(std::string_view block, NotesRead& read) {
    EvaluationSettings& e = read.notes.evaluation;
    if (e.windowFrom <= e.windowTo) {
        return;
    }
    ForEachLine(block, [&](std::string_view line, std::size_t) {
        const std::string_view text = Trimmed(line);
        if (text.starts_with(kWindowFromLabel.view()) || text.starts_with(kWindowToLabel.view())) {
            Ignore(text, NoteProblem::Contradiction, read);
        }
    });
    e.windowFrom = -kOpenEnd;
    e.windowTo = kOpenEnd;
}

std::string_view ProblemText(NoteProblem problem, MessageStyle style) {
    const bool window = style == MessageStyle::Window;
    switch (problem) {
        case NoteProblem::NotALabelledLine:
            return window ? "не вида «название: значение»" : "not a 'label: value' line";
        case NoteProblem::UnknownLabel:
            return window ? "неизвестное название" : "unknown label";
        case NoteProblem::BadValue:
            return window ? "значение не прочитано" : "the value cannot be read";
        case NoteProblem::Contradiction:
            return window ? "окно поиска кончается раньше, чем начинается"
                          : "the search window ends before it starts";
    }
    return {};
}

}  // namespace

void AppendNotesBlock(std::string& out, const RecordNotes& notes, bool decimalComma) {
    if (notes.IsDefault()) {
        return;
    }
    out += kNotesHeading;
    out += "\r\n";
    for (const NoteLine& kind : kLines) {
        if (const std::optional<std::string> value = kind.write(notes, decimalComma)) {
            out += kind.label;
            out += ": ";
            out += *value;
            out += "\r\n";
        }
    }
}

NotesRead ReadNotesBlock(std::string_view readablePart) {
    NotesRead read;
    const std::optional<std::string_view> block = BlockLines(readablePart);
    if (!block) {
        return read;
    }
    ForEachLine(*block, [&](std::string_view line, std::size_t) { ReadLine(line, read); });
    CheckWindow(*block, read);
    return read;
}

std::string NoteIssuesMessage(std::span<const NoteIssue> issues, MessageStyle style,
                              std::string_view linePrefix) {
    if (issues.empty()) {
        return {};
    }
    const std::span<const NoteIssue> named = issues.first(std::min(issues.size(), kIssuesNamed));
    const std::size_t more = issues.size() - named.size();
    std::string message;
    if (style == MessageStyle::Window) {
        message = issues.size() == 1 ? "Строка блока [Kelm] не прочитана и пропущена:"
                                     : "Строки блока [Kelm] не прочитаны и пропущены:";
        for (const NoteIssue& issue : named) {
            message += "\n«" + Cp1251ToUtf8(issue.line) + "» — ";
            message += ProblemText(issue.problem, style);
        }
        if (more > 0) {
            message += "\nи ещё строк: " + std::to_string(more);
        }
        message += "\nОстальное загружено.";
        return message;
    }
    for (const NoteIssue& issue : named) {
        if (!message.empty()) {
            message += '\n';
        }
        message += linePrefix;
        message += "line '" + Cp1251ToUtf8(issue.line) + "' of the [Kelm] block ignored: ";
        message += ProblemText(issue.problem, style);
    }
    if (more > 0) {
        message += '\n';
        message += linePrefix;
        message += std::to_string(more) + " more lines of the [Kelm] block ignored";
    }
    return message;
}

}  // namespace kelm
