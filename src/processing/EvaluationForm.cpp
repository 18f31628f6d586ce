#include "processing/EvaluationForm.h"

#include <charconv>
#include <cmath>

#include "core/NumberText.h"

namespace kelm {

namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Every digit the end has, as the result file keeps it: OK on an unchanged
// box gives the same window.
std::string EndText(double value, bool decimalComma) {
    return std::isfinite(value) ? ExactNumberText(value, decimalComma).str() : "";
}

// An end of the window: empty for an open one, else a volume not below 0.
std::optional<EvaluationRefusal> ReadEnd(std::string_view text, double open, EvaluationField field,
                                         double& into) {
    const std::string_view typed = Trimmed(text);
    if (typed.empty()) {
        into = open;
        return std::nullopt;
    }
    const std::optional<double> value = ParseExactNumber(typed);
    const char* which = field == EvaluationField::From ? "Начало" : "Конец";
    if (!value) {
        return EvaluationRefusal{std::string(which) +
                                     " окна поиска — не число. Введите объём в мл, например 4,5, "
                                     "или оставьте поле пустым.",
                                 field};
    }
    if (*value < 0.0) {
        return EvaluationRefusal{"Объём окна поиска не может быть отрицательным.", field};
    }
    into = *value;
    return std::nullopt;
}

}  // namespace

EvaluationForm::EvaluationForm(const EvaluationSettings& current, bool decimalComma)
    : count_(current.count) {
    view_.fromText = EndText(current.windowFrom, decimalComma);
    view_.toText = EndText(current.windowTo, decimalComma);
    view_.countText = std::to_string(current.count);
    ChoiceChosen(static_cast<int>(current.choice));
}

void EvaluationForm::ChoiceChosen(int index) {
    view_.choiceIndex = index >= 0 && index < kChoiceItems ? index : 0;
    view_.countEnabled = view_.choiceIndex == static_cast<int>(PointChoice::GreatestN);
}

std::optional<EvaluationRefusal> EvaluationForm::Accept(std::string_view from, std::string_view to,
                                                        std::string_view count,
                                                        EvaluationSettings& accepted) const {
    EvaluationSettings e;
    if (auto refusal = ReadEnd(from, -kOpenEnd, EvaluationField::From, e.windowFrom)) {
        return refusal;
    }
    if (auto refusal = ReadEnd(to, kOpenEnd, EvaluationField::To, e.windowTo)) {
        return refusal;
    }
    if (e.windowFrom > e.windowTo) {
        return EvaluationRefusal{
            "Окно поиска кончается раньше, чем начинается: начало должно быть "
            "не больше конца.",
            EvaluationField::From};
    }
    e.choice = static_cast<PointChoice>(view_.choiceIndex);
    e.count = count_;
    if (view_.countEnabled) {
        const std::string_view typed = Trimmed(count);
        int n = 0;
        const auto [stop, error] = std::from_chars(typed.data(), typed.data() + typed.size(), n);
        if (typed.empty() || error != std::errc() || stop != typed.data() + typed.size() || n < 1 ||
            n > kMaxChoiceCount) {
            return EvaluationRefusal{"Число точек — целое число от 1 до 250.",
                                     EvaluationField::Count};
        }
        e.count = n;
    }
    accepted = e;
    return std::nullopt;
}

EvaluationField EvaluationForm::NextOnEnter(EvaluationField focused) const {
    switch (focused) {
        case EvaluationField::From:
            return EvaluationField::To;
        case EvaluationField::To:
            return EvaluationField::Choice;
        case EvaluationField::Choice:
            return view_.countEnabled ? EvaluationField::Count : EvaluationField::Ok;
        case EvaluationField::Count:
        case EvaluationField::Ok:
            break;
    }
    return EvaluationField::Ok;
}

}  // namespace kelm
