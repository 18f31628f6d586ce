// The curve-processing window's fields without a window: what each shows and
// what it stores when the user leaves it.
#include "processing/ProcessingForm.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "support/ScriptedPrompter.h"

namespace kelm {
namespace {

using C = ProcessingControl;

class Form : public ::testing::Test {
protected:
    Form() {
        NewRecord(*state);
        Points(10);
    }

    void Points(int count) {
        state->record.pointCount = count;
        for (int i = 0; i < count && i < kMaxPoints; ++i) {
            state->record.points[i] = {double(i), double(i * i)};
        }
    }

    const ProcessingView& View() const { return form.View(); }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    ProcessingForm form{*state};
    test::ScriptedPrompter prompter;
};

TEST_F(Form, TheAutomaticCountIsFivePerPointUpTo500OnAReadOnlyBoxAndADisabledSlider) {
    struct Case {
        int points;
        int count;
        int ticks;
    };
    for (const Case c : {Case{0, 0, 50},
                         {3, 15, 49},
                         {10, 50, 49},
                         {99, 495, 40},
                         {100, 500, 40},
                         {120, 500, 38},
                         {255, 500, 24}}) {
        Points(c.points);
        state->processing.autoPointCount = 1;
        state->processing.interpolationPointCount = 7;
        form.Load();
        EXPECT_TRUE(View().automatic) << c.points;
        EXPECT_EQ(View().pointCountText, std::to_string(c.count)) << c.points;
        EXPECT_EQ(View().pointSliderPos, c.count) << c.points;
        EXPECT_EQ(View().pointSliderMin, c.points) << c.points;
        EXPECT_EQ(View().pointSliderTicks, c.ticks) << c.points;
        EXPECT_EQ(state->processing.interpolationPointCount, c.count) << c.points;
    }
    // Unchecking keeps the count where it was; the slider then moves it.
    form.AutomaticChosen(false);
    EXPECT_FALSE(View().automatic);
    EXPECT_EQ(state->processing.autoPointCount, 0);
    EXPECT_EQ(View().pointCountText, "500");
    form.PointSliderMoved(300);
    EXPECT_EQ(state->processing.interpolationPointCount, 300);
    form.AutomaticChosen(true);
    EXPECT_EQ(state->processing.interpolationPointCount, 500);
    // While automatic the slider stores nothing.
    form.PointSliderMoved(300);
    EXPECT_EQ(state->processing.interpolationPointCount, 500);
    EXPECT_EQ(View().pointCountText, "500");
}

TEST_F(Form, AManualCountIsKeptWithinThePointCountAnd500AndABadPointCountIsCorrected) {
    state->processing.autoPointCount = 0;
    for (const auto& [points, stored, shown] : {std::tuple{10, 0, 10},
                                                {40, 0, 40},
                                                {10, 300, 300},
                                                {10, 900, 500},
                                                {-1, 0, 0},
                                                {-1, 20, 20},
                                                {300, 0, 255}}) {
        Points(points);
        state->processing.interpolationPointCount = stored;
        form.Load();
        EXPECT_EQ(View().pointSliderPos, shown) << points << " " << stored;
        EXPECT_EQ(state->processing.interpolationPointCount, shown) << points << " " << stored;
        // The record's own count is corrected into 0..255.
        EXPECT_EQ(state->record.pointCount, std::clamp(points, 0, kMaxPoints));
    }
}

TEST_F(Form, ATypedCountIsForcedBetweenThePointCountAnd500) {
    state->processing.autoPointCount = 0;
    form.Load();
    for (const auto& [text, count] : {std::pair{"2", 10},
                                      {"999", 500},
                                      {"250", 250},
                                      {"10", 10},
                                      {"", 10},
                                      {"abc", 10},
                                      {"-5", 10},
                                      {" 42x", 42},
                                      {"12,5", 12},
                                      {"99999999999999999999999", 500}}) {
        form.PointCountLeft(text);
        EXPECT_EQ(View().pointCountText, std::to_string(count)) << text;
        EXPECT_EQ(View().pointSliderPos, count) << text;
        EXPECT_EQ(state->processing.interpolationPointCount, count) << text;
    }
    for (const auto& [position, count] : {std::pair{3, 10}, {600, 500}, {123, 123}}) {
        form.PointSliderMoved(position);
        EXPECT_EQ(View().pointSliderPos, count) << position;
        EXPECT_EQ(View().pointCountText, std::to_string(count)) << position;
        EXPECT_EQ(state->processing.interpolationPointCount, count) << position;
    }
    // The read-only box of the automatic count stores nothing either.
    form.AutomaticChosen(true);
    form.PointCountLeft("77");
    EXPECT_EQ(state->processing.interpolationPointCount, 50);
}

TEST_F(Form, TheFilterStrengthIsForcedInto0To15ThroughBoxAndSlider) {
    for (const auto& [text, strength] : {std::pair{"20", 15},
                                         {"15", 15},
                                         {"7", 7},
                                         {"-3", 0},
                                         {"", 0},
                                         {"x", 0},
                                         {"1,5", 1},
                                         {"99999999999999999999", 15}}) {
        state->processing.filterStrength = 5;
        form.FilterStrengthLeft(text);
        EXPECT_EQ(state->processing.filterStrength, strength) << text;
        EXPECT_EQ(View().filterStrengthText, std::to_string(strength)) << text;
        EXPECT_EQ(View().filterSliderPos, strength) << text;
    }
    for (const auto& [position, strength] : {std::pair{16, 15}, {-1, 0}, {9, 9}}) {
        form.FilterSliderMoved(position);
        EXPECT_EQ(state->processing.filterStrength, strength) << position;
        EXPECT_EQ(View().filterStrengthText, std::to_string(strength)) << position;
    }
    // A strength outside the range from a settings record is shown limited.
    state->processing.filterStrength = 40;
    form.Load();
    EXPECT_EQ(View().filterSliderPos, 15);
    EXPECT_EQ(View().filterStrengthText, "15");
}

TEST_F(Form, TheCriterionEmptiesTheValueBoxOrFillsItWithTheQuantitysEndValue) {
    state->processing.endValueEmf = -350.1274;
    state->processing.endValuePh = 6.4567;  // pH and pX with 2 decimals, conductivity 3
    struct Case {
        MeasuredQuantity quantity;
        int comma;
        const char* text;
    };
    for (const Case c : {Case{MeasuredQuantity::Emf, 0, "-350.127"},
                         {MeasuredQuantity::Emf, 1, "-350,127"},
                         {MeasuredQuantity::Ph, 0, "6.46"},
                         {MeasuredQuantity::Px, 1, "6,46"},
                         {MeasuredQuantity::Conductivity, 0, "6.457"},
                         {MeasuredQuantity::Conductivity, 1, "6,457"}}) {
        state->record.quantity = c.quantity;
        state->display.decimalComma = c.comma;
        state->processing.criterion = EndPointCriterion::DerivativeExtremum;
        form.Load();
        EXPECT_EQ(View().criterionIndex, 1);
        EXPECT_EQ(View().endValueText, "");
        EXPECT_FALSE(View().endValueEnabled);
        form.CriterionChosen(0);
        EXPECT_EQ(state->processing.criterion, EndPointCriterion::GivenValue);
        EXPECT_EQ(View().endValueText, c.text) << c.text;
        EXPECT_TRUE(View().endValueEnabled);
        form.CriterionChosen(1);
        EXPECT_EQ(state->processing.criterion, EndPointCriterion::DerivativeExtremum);
        EXPECT_EQ(View().endValueText, "");
        EXPECT_FALSE(View().endValueEnabled);
    }
    form.CriterionChosen(-1);  // no selection: nothing changes
    EXPECT_EQ(state->processing.criterion, EndPointCriterion::DerivativeExtremum);
}

TEST_F(Form, AnImplausibleEndValueIsStoredOnlyOnYes) {
    state->processing.criterion = EndPointCriterion::GivenValue;
    struct Case {
        MeasuredQuantity quantity;
        const char* typed;
        double typedValue;
        const char* question;
        const char* yesText;
    };
    for (const Case c : {Case{MeasuredQuantity::Emf, "6000", 6000.0,
                              "Значение ЭДС за границами 5000 мВ.\r\nЗаписать?", "6000."},
                         {MeasuredQuantity::Emf, "-5000,5", -5000.5,
                          "Значение ЭДС за границами 5000 мВ.\r\nЗаписать?", "-5000.5"},
                         {MeasuredQuantity::Ph, "25", 25.0,
                          "Значение pH/pX за границами -2...20.\r\nЗаписать?", "25."},
                         {MeasuredQuantity::Px, "-2.5", -2.5,
                          "Значение pH/pX за границами -2...20.\r\nЗаписать?", "-2.5"}}) {
        state->record.quantity = c.quantity;
        state->processing.endValueEmf = 100.0;
        state->processing.endValuePh = 7.0;
        const double& stored = c.quantity == MeasuredQuantity::Emf ? state->processing.endValueEmf
                                                                   : state->processing.endValuePh;
        const double before = stored;
        form.Load();
        const std::string shown = View().endValueText;

        prompter.messages.clear();
        prompter.answers = {Answer::No};
        form.EndValueLeft(c.typed, prompter);
        ASSERT_EQ(prompter.messages.size(), 1u) << c.typed;
        const test::Message& m = prompter.messages[0];
        EXPECT_EQ(std::tie(m.kind, m.caption, m.text),
                  std::tie("ask", "Предупреждение", c.question));
        EXPECT_EQ(m.defaultAnswer, Answer::No);
        EXPECT_EQ(m.icon, QuestionIcon::Warning);
        EXPECT_EQ(stored, before) << c.typed;
        EXPECT_EQ(View().endValueText, shown) << c.typed;

        prompter.answers = {Answer::Yes};
        form.EndValueLeft(c.typed, prompter);
        EXPECT_EQ(stored, c.typedValue) << c.typed;
        EXPECT_EQ(View().endValueText, c.yesText) << c.typed;
        // Leaving the box as it now stands asks nothing again.
        form.EndValueLeft(View().endValueText, prompter);
        EXPECT_EQ(prompter.messages.size(), 2u) << c.typed;
    }
    // Inside the range nothing is asked; a conductivity value is never questioned.
    for (const auto& [quantity, typed, value] :
         {std::tuple{MeasuredQuantity::Emf, "-5000", -5000.0},
          {MeasuredQuantity::Ph, "20", 20.0},
          {MeasuredQuantity::Px, "-2", -2.0},
          {MeasuredQuantity::Conductivity, "-5", -5.0},
          {MeasuredQuantity::Conductivity, "1e6", 1e6},
          {MeasuredQuantity::Emf, "abc", 0.0}}) {
        state->record.quantity = quantity;
        form.Load();
        prompter.messages.clear();
        form.EndValueLeft(typed, prompter);
        EXPECT_TRUE(prompter.messages.empty()) << typed;
        EXPECT_EQ(quantity == MeasuredQuantity::Emf ? state->processing.endValueEmf
                                                    : state->processing.endValuePh,
                  value)
            << typed;
    }
}

TEST_F(Form, AnEndValueTakesAPointOrACommaAndLeavingItUntouchedKeepsItExactly) {
    state->processing.criterion = EndPointCriterion::GivenValue;
    state->display.decimalComma = 1;
    state->record.quantity = MeasuredQuantity::Ph;
    form.Load();
    for (const auto& [typed, value, shown] : {std::tuple{"6,5", 6.5, "6,5"},
                                              {"12.25", 12.25, "12,25"},
                                              {" 7,5 pH", 7.5, "7,5"},
                                              {"8,125", 8.125, "8,13"}}) {
        form.EndValueLeft(typed, prompter);
        EXPECT_EQ(state->processing.endValuePh, value) << typed;
        EXPECT_EQ(View().endValueText, shown) << typed;
    }
    // The box shows 2 decimals; leaving it as shown keeps the 3 typed.
    form.EndValueLeft(View().endValueText, prompter);
    EXPECT_EQ(state->processing.endValuePh, 8.125);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Form, EnterActsOnTheFocusedControlAndMovesTheFocusOn) {
    struct Case {
        C focused;
        int criterion;
        int automatic;
        C next;
    };
    for (const Case c : {
             Case{C::Criterion, 0, 0, C::EndValue},
             {C::Criterion, 1, 0, C::PointSlider},
             {C::Criterion, 1, 1, C::PointCount},
             {C::EndValue, 0, 0, C::PointSlider},
             {C::EndValue, 0, 1, C::PointCount},
             {C::PointSlider, 0, 0, C::CubicSpline},
             {C::PointCount, 0, 1, C::CubicSpline},
             {C::Automatic, 0, 1, C::CubicSpline},
             {C::FilterStrength, 0, 0, C::Polynomial},
             {C::FilterSlider, 0, 0, C::Polynomial},
             {C::Polynomial, 0, 0, C::Ok},
             {C::MovingAverage, 0, 0, C::Ok},
             {C::CubicSpline, 0, 0, C::FilterSlider},
             {C::Linear, 0, 0, C::FilterSlider},
             {C::Other, 0, 0, C::Ok},
         }) {
        state->processing.criterion = static_cast<EndPointCriterion>(c.criterion);
        state->processing.autoPointCount = c.automatic;
        form.Load();
        const EnterStep step = form.Enter(c.focused);
        EXPECT_EQ(step.focus, c.next) << int(c.focused);
        EXPECT_FALSE(step.requestProcessing) << int(c.focused);
    }
    const EnterStep ok = form.Enter(C::Ok);
    EXPECT_EQ(ok.focus, C::Ok);
    EXPECT_TRUE(ok.requestProcessing);

    // The radio buttons act as clicked; the check box is read, not toggled.
    form.Enter(C::MovingAverage);
    form.Enter(C::Linear);
    EXPECT_EQ(state->processing.filterKind, FilterKind::MovingAverage);
    EXPECT_EQ(state->processing.interpolationKind, InterpolationKind::Linear);
    form.Enter(C::Polynomial);
    form.Enter(C::CubicSpline);
    EXPECT_EQ(state->processing.filterKind, FilterKind::PolynomialSmoothing);
    EXPECT_EQ(state->processing.interpolationKind, InterpolationKind::CubicSpline);
    state->processing.autoPointCount = 1;
    form.Load();
    form.Enter(C::Automatic);
    EXPECT_EQ(state->processing.autoPointCount, 1);
    EXPECT_EQ(state->processing.interpolationPointCount, 50);
}

TEST_F(Form, EachChangeThatTheFileKeepsIsToldOnceAndNothingElseIs) {
    int told = 0;
    state->recordChanged = [&] { ++told; };
    state->processing.autoPointCount = 0;
    state->processing.interpolationPointCount = 40;
    form.Load();
    EXPECT_EQ(told, 0);
    struct Step {
        const char* what;
        std::function<void()> act;
        int told;
    };
    const Step steps[] = {
        {"same slider position", [&] { form.PointSliderMoved(40); }, 0},
        {"slider moved", [&] { form.PointSliderMoved(41); }, 1},
        {"same count typed", [&] { form.PointCountLeft("41"); }, 0},
        {"strength typed", [&] { form.FilterStrengthLeft("9"); }, 1},
        {"automatic, which also sets the count", [&] { form.AutomaticChosen(true); }, 1},
        {"Enter on the checked radio", [&] { form.Enter(C::Polynomial); }, 0},
        {"Enter on the other radio", [&] { form.Enter(C::MovingAverage); }, 1},
        {"criterion", [&] { form.CriterionChosen(0); }, 1},
        {"end value left untouched", [&] { form.EndValueLeft(View().endValueText, prompter); }, 0},
        {"end value typed", [&] { form.EndValueLeft("-12", prompter); }, 1},
        {"the point count corrected",
         [&] {
             state->record.pointCount = -1;
             form.Load();
         },
         1},
    };
    for (const Step& step : steps) {
        told = 0;
        step.act();
        EXPECT_EQ(told, step.told) << step.what;
    }
}

}  // namespace
}  // namespace kelm
