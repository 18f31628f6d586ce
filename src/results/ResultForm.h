// The fields of the "Расчёт результата" window as plain data: what each box
// shows, what it accepts when the user leaves it (a number with a point or a
// comma; nonsense and values out of range refused with a message), the
// titrant picked from the library, the result of each equivalence point as
// it stands, and where Enter moves the focus. Every accepted change goes to
// the record's result settings at once; the window only paints this view.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SharedState.h"
#include "results/RecordResults.h"
#include "store/UserStore.h"

namespace kelm {

class Prompter;

// The controls in their Tab order.
enum class ResultControl {
    SampleName,
    SampleAmount,
    SampleUnit,
    Titrant,
    Concentration,
    Titer,
    Blank,
    Ratio,
    MolarMass,
    Unit,
    TiterDetermination,
    StandardMass,
    Purity,
    StandardMolarMass,
    StandardRatio,
    Results,
    Copy,
    UpdateTiter,
    Save,
    Ok,
    Other,
};
inline constexpr int kResultBoxCount =
    12;  // the text boxes: SampleName .. StandardRatio but the choices

// What every control shows; texts are UTF-8.
struct ResultView {
    std::array<std::string, kResultBoxCount> boxes;  // by BoxIndex
    int sampleUnitIndex = 0;                         // 0 mL, 1 g
    int unitIndex = 0;                               // ResultUnit
    bool titerDetermination = false;
    std::vector<std::string> titrants;  // the library's names
    std::string results;                // the table of the points' results, or why there is none
    bool canCopy = false;
    bool canUpdateTiter = false;
    std::string status;  // the library's state, the last save of a titer
};

// The index of a box in ResultView::boxes; -1 for the other controls.
int BoxIndex(ResultControl control);

struct ResultEnterStep {
    ResultControl focus = ResultControl::Ok;
    bool close = false;
    bool save = false;
    bool copy = false;
};

class ResultForm {
public:
    // `store` is the user's library, `file` the record's file (empty when it has none).
    ResultForm(SharedState& state, UserStore& store, std::function<std::filesystem::path()> file)
        : state_(state), store_(store), file_(std::move(file)) {}

    const ResultView& View() const { return view_; }

    // Every box from the record's data and the library, as the window shows
    // them when it opens; tells the user once when the library cannot be opened.
    void Load(Prompter& prompter);
    // The results again (after a run, another record, the other separator).
    void Refresh();

    // A box left with `text` (UTF-8); false when it was refused, the box then
    // shows the value it had.
    bool BoxLeft(ResultControl box, std::string_view text, Prompter& prompter);
    void SampleUnitChosen(int index);
    void UnitChosen(int index);
    void TiterDeterminationChosen(bool on);
    // A titrant picked from the library: its name, concentration and titer.
    void TitrantPicked(std::string_view name, Prompter& prompter);
    // The titer of a determination as the titrant's current one in the
    // library, after asking (the entry is made when there is none).
    void UpdateTiter(Prompter& prompter);

    // The results as tab-separated text, for the clipboard.
    std::string CopyText() const;

    ResultEnterStep Enter(ResultControl focused);

private:
    void ShowBoxes();
    void ShowResults();
    void ShowTitrants(Prompter* prompter);
    // The one titer a determination gives, when it gives exactly one.
    const PointResult* SingleTiter(const std::vector<PointResult>& results) const;

    SharedState& state_;
    UserStore& store_;
    std::function<std::filesystem::path()> file_;
    ResultView view_;
};

}  // namespace kelm
