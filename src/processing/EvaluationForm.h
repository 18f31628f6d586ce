// The fields of the window that sets how equivalence points are searched and
// chosen, as plain data: what each box shows, what OK accepts, and where Enter
// moves the focus. Nothing is stored until OK accepts every field.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/EvaluationSettings.h"

namespace kelm {

enum class EvaluationField { From, To, Choice, Count, Ok };

// The items of the choice list, in the order of PointChoice.
inline constexpr int kChoiceItems = 5;
inline constexpr std::string_view kChoiceItemTexts[kChoiceItems] = {
    "Все", "Наибольшая", "Первая", "Последняя", "Несколько наибольших"};

struct EvaluationView {
    std::string fromText;  // empty for an open end
    std::string toText;
    int choiceIndex = 0;  // PointChoice as a number
    std::string countText;
    bool countEnabled = false;  // only for the N greatest
};

// Why OK refused the fields: the message (caption "Ошибка") and the box to go back to.
struct EvaluationRefusal {
    std::string message;
    EvaluationField field = EvaluationField::From;
};

class EvaluationForm {
public:
    // The fields as `current` has them, numbers with the given separator.
    EvaluationForm(const EvaluationSettings& current, bool decimalComma);

    const EvaluationView& View() const { return view_; }

    void ChoiceChosen(int index);

    // Reads the texts as typed (a point or a comma; an empty end is an open
    // one). Nonsense is refused with the reason; otherwise `accepted` holds
    // the settings.
    std::optional<EvaluationRefusal> Accept(std::string_view from, std::string_view to,
                                            std::string_view count,
                                            EvaluationSettings& accepted) const;

    // Where Enter moves the focus from a field; on OK, Enter accepts.
    EvaluationField NextOnEnter(EvaluationField focused) const;

private:
    EvaluationView view_;
    int count_ = 1;
};

}  // namespace kelm
