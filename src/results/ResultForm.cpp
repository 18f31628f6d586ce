#include "results/ResultForm.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "core/Prompter.h"
#include "results/ResultHistory.h"
#include "results/ResultUnits.h"

namespace kelm {

namespace {

using C = ResultControl;

constexpr std::string_view kErrorCaption = "Ошибка";
constexpr std::string_view kQuestionCaption = "Вопрос";
constexpr std::string_view kNoPoints =
    "Точек эквивалентности нет: обработайте кривую (кнопка «Расчёт»).";

// A number box: the value it edits, its rule and what an empty box stands for.
struct NumberBox {
    ResultControl control;
    double ResultSettings::*member;
    ResultValue rule;
    double whenEmpty;
};

constexpr NumberBox kNumberBoxes[] = {
    {C::SampleAmount, &ResultSettings::sampleAmount, ResultValue::SampleAmount, 0.0},
    {C::Concentration, &ResultSettings::concentration, ResultValue::Concentration, 0.0},
    {C::Titer, &ResultSettings::titer, ResultValue::Titer, 1.0},
    {C::Blank, &ResultSettings::blank, ResultValue::Blank, 0.0},
    {C::Ratio, &ResultSettings::ratio, ResultValue::Ratio, 1.0},
    {C::MolarMass, &ResultSettings::molarMass, ResultValue::MolarMass, 0.0},
    {C::StandardMass, &ResultSettings::standardMass, ResultValue::StandardMass, 0.0},
    {C::Purity, &ResultSettings::standardPurity, ResultValue::Purity, 100.0},
    {C::StandardMolarMass, &ResultSettings::standardMolarMass, ResultValue::StandardMolarMass, 0.0},
    {C::StandardRatio, &ResultSettings::standardRatio, ResultValue::StandardRatio, 1.0},
};

constexpr ResultControl kBoxes[kResultBoxCount] = {
    C::SampleName,
    C::SampleAmount,
    C::Titrant,
    C::Concentration,
    C::Titer,
    C::Blank,
    C::Ratio,
    C::MolarMass,
    C::StandardMass,
    C::Purity,
    C::StandardMolarMass,
    C::StandardRatio,
};

const NumberBox* NumberBoxOf(ResultControl control) {
    for (const NumberBox& box : kNumberBoxes) {
        if (box.control == control) {
            return &box;
        }
    }
    return nullptr;
}

// The text without the blanks around it.
std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The box of a value: every digit it has, with the user's separator; the
// empty box for the value an empty box stands for, when that is 0.
std::string BoxText(double value, double whenEmpty, bool comma) {
    return value == whenEmpty && whenEmpty == 0.0 ? std::string()
                                                  : ExactNumberText(value, comma).str();
}

}  // namespace

int BoxIndex(ResultControl control) {
    const auto found = std::find(std::begin(kBoxes), std::end(kBoxes), control);
    return found == std::end(kBoxes) ? -1 : static_cast<int>(found - std::begin(kBoxes));
}

void ResultForm::Load(Prompter& prompter) {
    ShowBoxes();
    ShowTitrants(&prompter);
    ShowResults();
}

void ResultForm::Refresh() {
    ShowBoxes();
    ShowResults();
}

bool ResultForm::BoxLeft(ResultControl control, std::string_view text, Prompter& prompter) {
    ResultSettings& s = state_.notes.result;
    const ResultSettings before = s;
    const int index = BoxIndex(control);
    if (index < 0 || text == view_.boxes[index]) {
        return true;  // as shown: nothing changes, whatever the box rounded
    }
    bool accepted = true;
    if (control == C::SampleName || control == C::Titrant) {
        const std::string_view name = Trimmed(text);
        SetName(control == C::SampleName ? s.sampleName : s.titrantName, Utf8ToCp1251(name));
        if (const std::string lacked = CharactersCp1251Lacks(name); !lacked.empty()) {
            prompter.Warn(kAppCaption, "Знаков «" + lacked +
                                           "» нет в кодовой странице 1251, в которой файл "
                                           "хранит названия: они заменены на «?».");
        }
    } else if (const NumberBox* box = NumberBoxOf(control)) {
        const std::optional<double> typed =
            Trimmed(text).empty() ? std::optional(box->whenEmpty) : ParseExactNumber(text);
        if (!typed) {
            prompter.Error(kErrorCaption, "«" + std::string(Trimmed(text)) +
                                              "» — не число. Введите число, например 0,1.");
            accepted = false;
        } else if (!IsValidValue(box->rule, *typed) && *typed != box->whenEmpty) {
            prompter.Error(kErrorCaption,
                           ProblemText(ValueProblem(box->rule), MessageStyle::Window));
            accepted = false;
        } else {
            s.*box->member = *typed;
        }
    }
    if (!(s == before)) {
        RecordChanged(state_);
    }
    Refresh();
    return accepted;
}

void ResultForm::SampleUnitChosen(int index) {
    if (index == 0 || index == 1) {
        state_.notes.result.sampleUnit = index == 1 ? SampleUnit::Gram : SampleUnit::Millilitre;
        RecordChanged(state_);
    }
    Refresh();
}

void ResultForm::UnitChosen(int index) {
    if (index >= 0 && index < kResultUnitCount) {
        state_.notes.result.unit = static_cast<ResultUnit>(index);
        // The sample follows the unit: a mass unit wants grams, the others mL.
        state_.notes.result.sampleUnit = UnitInfo(state_.notes.result.unit).sample;
        RecordChanged(state_);
    }
    Refresh();
}

void ResultForm::TiterDeterminationChosen(bool on) {
    state_.notes.result.titerDetermination = on;
    RecordChanged(state_);
    Refresh();
}

void ResultForm::TitrantPicked(std::string_view name, Prompter& prompter) {
    Store* store = store_.Get();
    std::optional<Titrant> titrant;
    const std::string utf8(name);
    if (store == nullptr) {
        return;
    }
    if (const StoreStatus status = store->FindTitrant(utf8, titrant); !status.Ok()) {
        prompter.Error(kErrorCaption, StoreMessage(status, store->Path(), MessageStyle::Window));
        return;
    }
    if (titrant) {
        if (const std::string problem = TitrantNameProblem(titrant->name, MessageStyle::Window);
            !problem.empty()) {
            prompter.Error(kErrorCaption, problem);
            Refresh();
            return;
        }
        ResultSettings& s = state_.notes.result;
        SetName(s.titrantName, Utf8ToCp1251(titrant->name));
        s.concentration = titrant->concentration;
        s.titer = titrant->titer;
        RecordChanged(state_);
    }
    Refresh();
}

const PointResult* ResultForm::SingleTiter(const std::vector<PointResult>& results) const {
    if (!state_.notes.result.titerDetermination || results.size() != 1 ||
        !results[0].outcome.Ok()) {
        return nullptr;
    }
    return &results[0];
}

void ResultForm::UpdateTiter(Prompter& prompter) {
    const std::vector<PointResult> results = ComputePointResults(state_);
    const PointResult* titer = SingleTiter(results);
    const std::string name = Cp1251ToUtf8(NameView(state_.notes.result.titrantName));
    if (titer == nullptr || name.empty()) {
        prompter.Error(kErrorCaption, name.empty()
                                          ? "Укажите название титранта."
                                          : "Титр не определён: нужна одна точка эквивалентности.");
        return;
    }
    Store* store = store_.Get();
    if (store == nullptr) {
        prompter.Error(kErrorCaption,
                       StoreMessage(store_.Problem(), store_.Path(), MessageStyle::Window));
        return;
    }
    const bool comma = state_.display.decimalComma != 0;
    const std::string value = ResultNumberText(titer->outcome.value, comma);
    std::optional<Titrant> known;
    StoreStatus status = store->FindTitrant(name, known);
    if (status.Ok()) {
        const std::string question =
            known ? "Записать титр " + value + " как текущий для «" + name + "»?\r\nПрежний титр " +
                        ResultNumberText(known->titer, comma) + " останется в истории титранта."
                  : "Титранта «" + name + "» нет в библиотеке. Добавить его с концентрацией " +
                        ResultNumberText(state_.notes.result.concentration, comma) +
                        " моль/л и титром " + value + "?";
        if (prompter.AskYesNo(kQuestionCaption, question, Answer::Yes, QuestionIcon::Question) !=
            Answer::Yes) {
            return;
        }
        const std::string file = file_ ? StoredFilePath(file_()) : std::string();
        const std::string now = StoreDateNow();
        status = known ? store->SetTiter(name, titer->outcome.value, now, file)
                       : store->AddTitrant({name, state_.notes.result.concentration,
                                            titer->outcome.value, now, file},
                                           now);
    }
    if (!status.Ok()) {
        prompter.Error(kErrorCaption, StoreMessage(status, store->Path(), MessageStyle::Window));
        return;
    }
    ShowTitrants(nullptr);
    view_.status = "Титр " + value + " записан в библиотеку для «" + name + "».";
}

std::string ResultForm::CopyText() const {
    return ResultTableText(state_, ComputePointResults(state_));
}

ResultEnterStep ResultForm::Enter(ResultControl focused) {
    switch (focused) {
        case C::MolarMass:
            return {C::Unit};
        case C::Unit:
            return {C::TiterDetermination};
        case C::TiterDetermination:
            return {state_.notes.result.titerDetermination ? C::StandardMass : C::Save};
        case C::StandardRatio:
            return {C::Save};
        case C::Results:
            return {view_.canCopy ? C::Copy : C::Save};
        case C::Copy:
            return {C::Copy, false, false, true};
        case C::UpdateTiter:
            return {C::Save};
        case C::Save:
            return {C::Save, false, true};
        case C::Ok:
            return {C::Ok, true};
        case C::Other:
            return {C::Ok};
        default:
            // A box or a choice: on to the next control in Tab order.
            return {static_cast<ResultControl>(static_cast<int>(focused) + 1)};
    }
}

void ResultForm::ShowBoxes() {
    const ResultSettings& s = state_.notes.result;
    const bool comma = state_.display.decimalComma != 0;
    view_.boxes[BoxIndex(C::SampleName)] = Cp1251ToUtf8(NameView(s.sampleName));
    view_.boxes[BoxIndex(C::Titrant)] = Cp1251ToUtf8(NameView(s.titrantName));
    for (const NumberBox& box : kNumberBoxes) {
        view_.boxes[BoxIndex(box.control)] = BoxText(s.*box.member, box.whenEmpty, comma);
    }
    view_.sampleUnitIndex = s.sampleUnit == SampleUnit::Gram ? 1 : 0;
    view_.unitIndex = static_cast<int>(s.unit);
    view_.titerDetermination = s.titerDetermination;
}

void ResultForm::ShowTitrants(Prompter* prompter) {
    view_.titrants.clear();
    Store* store = store_.Get();
    StoreStatus status = store_.Problem();
    std::vector<Titrant> titrants;
    if (store != nullptr) {
        status = store->Titrants(titrants);
    }
    for (const Titrant& t : titrants) {
        view_.titrants.push_back(t.name);
    }
    view_.status =
        status.Ok() ? std::string() : StoreMessage(status, store_.Path(), MessageStyle::Window);
    if (prompter != nullptr && store == nullptr && store_.TakeReport()) {
        prompter->Warn(kAppCaption, view_.status);
    }
}

void ResultForm::ShowResults() {
    const ResultSettings& s = state_.notes.result;
    const std::vector<PointResult> results = ComputePointResults(state_);
    const ResultProblem problem =
        s.titerDetermination ? CheckTiterSettings(s) : CheckResultSettings(s);
    view_.canCopy = false;
    if (results.empty()) {
        view_.results = kNoPoints;
    } else if (problem != ResultProblem::None) {
        view_.results = ProblemText(problem, MessageStyle::Window);
    } else {
        view_.results = ResultTableText(state_, results);
        view_.canCopy = true;
    }
    view_.canUpdateTiter = SingleTiter(results) != nullptr;
}

}  // namespace kelm
