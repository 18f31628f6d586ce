// The fields of the curve-processing window as plain data: what each field
// shows, what it accepts when the user leaves it, clicks it or moves its
// slider, and where Enter moves the focus. Every accepted change is written to
// the processing settings at once and told through RecordChanged; the window
// only paints this view.
#pragma once

#include <string>
#include <string_view>

#include "core/SharedState.h"

namespace kelm {

class Prompter;

inline constexpr int kPointCountChars = 3;      // the count box holds "500" at most
inline constexpr int kFilterStrengthChars = 2;  // the strength box holds "15" at most
inline constexpr int kFilterSliderTicks = 5;    // a tick every 5 strengths

// The window's controls, as the Enter key's table names them.
enum class ProcessingControl {
    Ok,
    Criterion,
    EndValue,
    PointCount,
    Automatic,
    PointSlider,
    CubicSpline,
    Linear,
    FilterStrength,
    FilterSlider,
    Polynomial,
    MovingAverage,
    Other,
};

// What every control shows.
struct ProcessingView {
    int criterionIndex = -1;  // 0 the given end point, 1 the derivative extremum
    std::string endValueText;
    bool endValueEnabled = false;
    // The automatic count: the count box read-only and the slider disabled.
    bool automatic = false;
    std::string pointCountText;
    int pointSliderMin = 0;  // the measured point count
    int pointSliderTicks = 0;
    int pointSliderPos = 0;
    std::string filterStrengthText;
    int filterSliderPos = 0;
    bool cubicSpline = false;  // else the linear approximation is checked
    bool polynomial = false;   // else the moving average is checked
};

// What Enter on a control does after its own action.
struct EnterStep {
    ProcessingControl focus = ProcessingControl::Ok;
    bool requestProcessing = false;
};

class ProcessingForm {
public:
    explicit ProcessingForm(SharedState& state) : state_(state) {}

    const ProcessingView& View() const { return view_; }

    // Every field from the settings, as the window shows them when it opens.
    void Load();
    // The point-count controls from the point count, the automatic choice and
    // the grid size; corrects a point count outside 0..255 and stores the grid
    // size the controls show.
    void RefreshPointCount();

    void CriterionChosen(int index);
    // Text left unchanged since it was shown changes nothing; an implausible
    // value is stored only when the user answers Yes.
    void EndValueLeft(std::string_view text, Prompter& prompter);
    void PointCountLeft(std::string_view text);
    void PointSliderMoved(int position);
    void AutomaticChosen(bool automatic);
    void InterpolationChosen(InterpolationKind kind);
    void FilterStrengthLeft(std::string_view text);
    void FilterSliderMoved(int position);
    void FilterChosen(FilterKind kind);

    // Enter never closes the window: it acts on the focused control (a radio
    // button or the check box as if clicked; OK asks for a run) and says where
    // the focus goes.
    EnterStep Enter(ProcessingControl focused);

private:
    class KeptChange;

    void ShowEndValue();
    void ShowKinds();
    void ShowFilterStrength(int strength);

    SharedState& state_;
    ProcessingView view_;
    int changeDepth_ = 0;
};

}  // namespace kelm
