#include "processing/ProcessingForm.h"

#include <algorithm>
#include <limits>

#include "core/NumberText.h"
#include "core/Prompter.h"
#include "core/Quantity.h"
#include "processing/Interpolation.h"
#include "processing/Smoothing.h"

namespace kelm {

namespace {

constexpr std::string_view kQuestionCaption = "Предупреждение";
constexpr std::string_view kEmfQuestion = "Значение ЭДС за границами 5000 мВ.\r\nЗаписать?";
constexpr std::string_view kPhQuestion = "Значение pH/pX за границами -2...20.\r\nЗаписать?";
constexpr double kAnyValue = std::numeric_limits<double>::infinity();

// Which setting the end-value box edits for a quantity, how it shows it and
// which values pass without a question.
struct EndValueRule {
    double ProcessingSettings::*value;
    int decimals;
    double low;
    double high;
    std::string_view question;
};

EndValueRule EndValueRuleFor(MeasuredQuantity quantity) {
    switch (quantity) {
        case MeasuredQuantity::Emf:
            return {&ProcessingSettings::endValueEmf, 3, -5000.0, 5000.0, kEmfQuestion};
        case MeasuredQuantity::Ph:
        case MeasuredQuantity::Px:
            return {&ProcessingSettings::endValuePh, 2, -2.0, 20.0, kPhQuestion};
        case MeasuredQuantity::Conductivity:
            break;
    }
    // Conductivity is searched with the pH setting; it is shown in mS/cm as
    // the graph and the report show the values, and no range is implausible.
    return {&ProcessingSettings::endValuePh,
            QuantityValueDecimals(MeasuredQuantity::Conductivity),
            -kAnyValue,
            kAnyValue,
            {}};
}

int Clamped(long long value, int low, int high) {
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace

// Around each call from the window: a change to what a result file keeps of
// the record (the settings, the corrected point count) is told once, when
// the outermost call returns.
class ProcessingForm::KeptChange {
public:
    explicit KeptChange(ProcessingForm& form)
        : form_(form),
          settings_(form.state_.processing),
          pointCount_(form.state_.record.pointCount) {
        ++form_.changeDepth_;
    }
    ~KeptChange() {
        SharedState& state = form_.state_;
        if (--form_.changeDepth_ == 0 &&
            (!(state.processing == settings_) || state.record.pointCount != pointCount_)) {
            RecordChanged(state);
        }
    }
    KeptChange(const KeptChange&) = delete;
    KeptChange& operator=(const KeptChange&) = delete;

private:
    ProcessingForm& form_;
    const ProcessingSettings settings_;
    const std::int32_t pointCount_;
};

void ProcessingForm::Load() {
    const KeptChange change(*this);
    view_.criterionIndex =
        state_.processing.criterion == EndPointCriterion::DerivativeExtremum ? 1 : 0;
    ShowEndValue();
    RefreshPointCount();
    ShowFilterStrength(std::clamp(state_.processing.filterStrength, 0, kMaxFilterStrength));
    ShowKinds();
}

void ProcessingForm::RefreshPointCount() {
    const KeptChange change(*this);
    TitrationRecord& record = state_.record;
    record.pointCount = std::clamp(record.pointCount, 0, kMaxPoints);
    const int points = record.pointCount;
    ProcessingSettings& p = state_.processing;
    p.interpolationPointCount = GridPointCount(points, p.autoPointCount, p.interpolationPointCount);
    view_.automatic = p.autoPointCount == 1;
    view_.pointCountText = std::to_string(p.interpolationPointCount);
    view_.pointSliderMin = points;
    view_.pointSliderTicks = (kMaxGridPoints - points) / 10;
    view_.pointSliderPos = p.interpolationPointCount;
}

void ProcessingForm::CriterionChosen(int index) {
    const KeptChange change(*this);
    if (index != 0 && index != 1) {
        return;
    }
    state_.processing.criterion =
        index == 1 ? EndPointCriterion::DerivativeExtremum : EndPointCriterion::GivenValue;
    view_.criterionIndex = index;
    ShowEndValue();
}

void ProcessingForm::EndValueLeft(std::string_view text, Prompter& prompter) {
    const KeptChange change(*this);
    // Leaving the box as it was shown keeps the value exactly, however the
    // box rounded it and whichever separator it shows.
    if (!view_.endValueEnabled || text == view_.endValueText) {
        return;
    }
    const EndValueRule rule = EndValueRuleFor(state_.record.quantity);
    double& stored = state_.processing.*rule.value;
    const double typed = ParseTypedNumber(text);
    if ((typed >= rule.low && typed <= rule.high) ||
        prompter.AskYesNo(kQuestionCaption, rule.question, Answer::No) == Answer::Yes) {
        stored = typed;
    }
    ShowEndValue();
}

void ProcessingForm::PointCountLeft(std::string_view text) {
    const KeptChange change(*this);
    const int count = Clamped(ParseTypedInteger(text), PointCount(state_.record), kMaxGridPoints);
    if (state_.processing.autoPointCount != 1) {
        state_.processing.interpolationPointCount = count;
        view_.pointSliderPos = count;
    }
    view_.pointCountText = std::to_string(count);
}

void ProcessingForm::PointSliderMoved(int position) {
    const KeptChange change(*this);
    const int count = Clamped(position, PointCount(state_.record), kMaxGridPoints);
    if (state_.processing.autoPointCount != 1) {
        state_.processing.interpolationPointCount = count;
        view_.pointCountText = std::to_string(count);
    }
    view_.pointSliderPos = count;
}

void ProcessingForm::AutomaticChosen(bool automatic) {
    const KeptChange change(*this);
    state_.processing.autoPointCount = automatic ? 1 : 0;
    RefreshPointCount();
}

void ProcessingForm::InterpolationChosen(InterpolationKind kind) {
    const KeptChange change(*this);
    state_.processing.interpolationKind = kind;
    ShowKinds();
}

void ProcessingForm::FilterStrengthLeft(std::string_view text) {
    const KeptChange change(*this);
    FilterSliderMoved(Clamped(ParseTypedInteger(text), 0, kMaxFilterStrength));
}

void ProcessingForm::FilterSliderMoved(int position) {
    const KeptChange change(*this);
    const int strength = std::clamp(position, 0, kMaxFilterStrength);
    state_.processing.filterStrength = strength;
    ShowFilterStrength(strength);
}

void ProcessingForm::FilterChosen(FilterKind kind) {
    const KeptChange change(*this);
    state_.processing.filterKind = kind;
    ShowKinds();
}

EnterStep ProcessingForm::Enter(ProcessingControl focused) {
    const KeptChange change(*this);
    using C = ProcessingControl;
    // The point slider is disabled while the count is automatic: the focus
    // goes where Tab would take it, to the count box.
    const C pointControl = view_.automatic ? C::PointCount : C::PointSlider;
    switch (focused) {
        case C::Ok:
            return {C::Ok, true};
        case C::Criterion:
            return {view_.criterionIndex == 1 ? pointControl : C::EndValue};
        case C::EndValue:
            return {pointControl};
        case C::PointSlider:
        case C::PointCount:
            return {C::CubicSpline};
        case C::FilterStrength:
        case C::FilterSlider:
            return {C::Polynomial};
        case C::Polynomial:
            FilterChosen(FilterKind::PolynomialSmoothing);
            return {C::Ok};
        case C::MovingAverage:
            FilterChosen(FilterKind::MovingAverage);
            return {C::Ok};
        case C::CubicSpline:
            InterpolationChosen(InterpolationKind::CubicSpline);
            return {C::FilterSlider};
        case C::Linear:
            InterpolationChosen(InterpolationKind::Linear);
            return {C::FilterSlider};
        case C::Automatic:
            AutomaticChosen(view_.automatic);
            return {C::CubicSpline};
        case C::Other:
            break;
    }
    return {C::Ok};
}

void ProcessingForm::ShowEndValue() {
    if (state_.processing.criterion == EndPointCriterion::DerivativeExtremum) {
        view_.endValueText.clear();
        view_.endValueEnabled = false;
        return;
    }
    const EndValueRule rule = EndValueRuleFor(state_.record.quantity);
    view_.endValueText = FormatNumber(state_, state_.processing.*rule.value, rule.decimals).str();
    view_.endValueEnabled = true;
}

void ProcessingForm::ShowKinds() {
    view_.cubicSpline = state_.processing.interpolationKind != InterpolationKind::Linear;
    view_.polynomial = state_.processing.filterKind != FilterKind::MovingAverage;
}

void ProcessingForm::ShowFilterStrength(int strength) {
    view_.filterSliderPos = strength;
    view_.filterStrengthText = std::to_string(strength);
}

}  // namespace kelm
