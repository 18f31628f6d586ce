// The evaluation of a run's equivalence points: the search window, the choice
// among the points found and what the run says when the result is doubtful.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "CurveFixtures.h"
#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "processing/EquivalenceSearch.h"
#include "processing/EvaluationNotice.h"
#include "processing/Processing.h"

namespace kelm {
namespace {

using test::StateWithPoints;

// A pH record with points every 0.5 mL up to `last` on the given curve.
std::unique_ptr<SharedState> Titration(double last, const std::function<double(double)>& ph) {
    auto state = StateWithPoints({});
    state->record.quantity = MeasuredQuantity::Ph;
    for (double v = 0.0; v <= last + 1e-9; v += 0.5) {
        state->record.points[state->record.pointCount++] = {v, ph(v)};
    }
    return state;
}

// An electrode still settling at the start: the first addition of 0.0005 mL
// raises the pH by 1, far more steeply than the real jump at 10 mL.
std::unique_ptr<SharedState> SettlingElectrode(InterpolationKind kind) {
    auto state = StateWithPoints({{0.0, 2.0}, {0.0005, 3.0}});
    state->record.quantity = MeasuredQuantity::Ph;
    for (int i = 1; i <= 40; ++i) {
        const double v = 0.5 * i;
        state->record.points[state->record.pointCount++] = {v,
                                                            7.0 + 4.0 * std::tanh(0.5 * (v - 10))};
    }
    state->processing.interpolationKind = kind;
    return state;
}

// Jumps at 5, 15 and 24 mL, the one at 15 the steepest, the one at 24 the flattest.
std::unique_ptr<SharedState> ThreeJumps() {
    return Titration(30.0, [](double v) {
        return 2 + 2 * std::tanh(2 * (v - 5)) + 3 * std::tanh(3 * (v - 15)) +
               1.5 * std::tanh(2.5 * (v - 24));
    });
}

std::vector<double> Volumes(const SharedState& s) {
    std::vector<double> volumes;
    for (int k = 0; k < s.curve.equivalencePointCount; ++k) {
        volumes.push_back(s.curve.equivalencePoints[k].volume);
    }
    return volumes;
}

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                double tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < actual.size(); ++k) {
        EXPECT_NEAR(actual[k], expected[k], tolerance) << "point " << k;
    }
}

EvaluationSettings Window(double from, double to) {
    EvaluationSettings e;
    e.windowFrom = from;
    e.windowTo = to;
    return e;
}

// Every point found lies on the jump at 10 mL (the linear grid gives one in
// each measured interval across it).
void ExpectOnTheJump(const SharedState& s) {
    const std::vector<double> found = Volumes(s);
    EXPECT_FALSE(found.empty());
    for (double v : found) {
        EXPECT_NEAR(v, 10.0, 0.8);
    }
}

TEST(Evaluation, ASteepArtefactAtTheStartHidesTheJumpUntilAWindowLeavesItOut) {
    struct Case {
        InterpolationKind kind;
        std::vector<double> plain;  // what the plain run reports
    };
    // The linear grid sees the artefact as the steepest slope and finds
    // nothing; the cubic one overshoots into a false point in the first
    // interval after the artefact.
    for (const Case& c :
         {Case{InterpolationKind::Linear, {}}, Case{InterpolationKind::CubicSpline, {0.398}}}) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        auto state = SettlingElectrode(c.kind);
        ASSERT_EQ(RunProcessing(*state), kProcessingDone);
        ExpectNear(Volumes(*state), c.plain, 0.001);

        state->notes.evaluation = Window(1.0, kOpenEnd);
        ASSERT_EQ(RunProcessing(*state), kProcessingDone);
        ExpectOnTheJump(*state);
        state->notes.evaluation.choice = PointChoice::Greatest;
        ASSERT_EQ(RunProcessing(*state), kProcessingDone);
        ExpectNear(Volumes(*state), {10.0}, 0.3);
    }
}

TEST(Evaluation, WithoutAPointItSaysWhereTheCurveIsSteepestAndSuggestsAWindowThatWorks) {
    auto state = SettlingElectrode(InterpolationKind::Linear);
    ASSERT_EQ(RunProcessing(*state), kProcessingDone);
    ASSERT_EQ(state->curve.equivalencePointCount, 0);
    const EvaluationOutcome& o = state->curve.evaluation;
    EXPECT_TRUE(o.noPoint);
    EXPECT_TRUE(o.steepestOutside);
    EXPECT_EQ(o.steepestVolume, 0.0);
    EXPECT_EQ(std::tuple(o.searchedFrom, o.searchedTo), std::tuple(0.0005, 19.5));
    ASSERT_TRUE(o.windowSuggested);
    EXPECT_NEAR(o.jumpVolume, 10.0, 0.3);
    // Hundredths of a mL, as a chemist types them; only the slope at 0 is left out.
    EXPECT_EQ(std::tuple(o.suggestedFrom, o.suggestedTo), std::tuple(0.01, kOpenEnd));
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::English),
              "no equivalence point found: the curve is steepest at 0 mL, outside the searched "
              "range 0.0005 to 19.5 mL; the jump at 10.239 mL is found with --window 0.01:");
    state->display.decimalComma = 1;
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::Russian),
              "Точка эквивалентности не найдена: кривая круче всего при 0 мл, вне области "
              "поиска 0,0005–19,5 мл. Скачок при 10,239 мл найдётся с окном поиска от 0,01 мл.");

    // The suggestion, taken, finds the jump and has nothing more to say.
    state->notes.evaluation = Window(o.suggestedFrom, o.suggestedTo);
    ASSERT_EQ(RunProcessing(*state), kProcessingDone);
    ExpectOnTheJump(*state);
    EXPECT_FALSE(state->curve.evaluation.HasNotice());

    // A window past the last point says so, rather than naming a range that
    // ends before it starts.
    state->notes.evaluation = Window(25.0, 30.0);
    ASSERT_EQ(RunProcessing(*state), kProcessingDone);
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::Russian),
              "Точка эквивалентности не найдена: окно поиска от 25 до 30 мл лежит вне участка "
              "кривой, где ищутся точки (0,0005–19,5 мл); кривая круче всего при 0 мл. "
              "Задайте окно поиска вокруг ожидаемого скачка.");
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::English),
              "no equivalence point found: the search window 25:30 holds no part of the curve "
              "searched, 0.0005 to 19.5 mL; the curve is steepest at 0 mL; "
              "set a search window around the expected jump (--window FROM:TO)");
}

TEST(Evaluation, APointWhereTheSplineSwingsBeyondThePointsAroundItIsNamed) {
    // The cubic grid rings after the artefact; its false point lies far from
    // the values measured around it, which the real jump never does.
    auto state = SettlingElectrode(InterpolationKind::CubicSpline);
    ASSERT_EQ(RunProcessing(*state), kProcessingDone);
    ASSERT_EQ(state->curve.equivalencePointCount, 1);
    const EvaluationOutcome& o = state->curve.evaluation;
    EXPECT_TRUE(o.valueOutside);
    EXPECT_EQ(o.outsideVolume, state->curve.equivalencePoints[0].volume);
    EXPECT_EQ(o.measuredLow, 2.0);  // the points at 0, 0.0005 and 0.5 mL
    EXPECT_NEAR(o.measuredHigh, 3.001, 0.0005);
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::English),
              "the point at 0.398 mL has the value 95.889, outside the values measured around "
              "it, 2 to 3.001: the interpolated curve overshoots the points there and holds no "
              "jump; leave that part out with --window FROM:TO or use --interpolation linear");
    state->display.decimalComma = 1;
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::Russian),
              "Точка при 0,398 мл со значением 95,889 лежит вне значений, измеренных рядом "
              "(2–3,001): здесь интерполированная кривая выходит за точки, скачка нет. Оставьте "
              "этот участок вне окна поиска или выберите линейную интерполяцию.");

    // Leaving the ringing out finds the jump, and nothing is doubtful.
    state->notes.evaluation = Window(2.0, kOpenEnd);
    ASSERT_EQ(RunProcessing(*state), kProcessingDone);
    ExpectOnTheJump(*state);
    EXPECT_FALSE(state->curve.evaluation.HasNotice());
}

TEST(Evaluation, TheChoiceKeepsThePointsItNamesInVolumeOrderAndSaysWhatItLeftOut) {
    struct Case {
        PointChoice choice;
        int count;
        std::vector<double> kept;
        std::vector<double> leftOut;
    };
    const Case cases[] = {
        {PointChoice::All, 1, {5, 15, 24}, {}},
        {PointChoice::Greatest, 1, {15}, {5, 24}},
        {PointChoice::First, 1, {5}, {15, 24}},
        {PointChoice::Last, 1, {24}, {5, 15}},
        {PointChoice::GreatestN, 2, {5, 15}, {24}},
        {PointChoice::GreatestN, 3, {5, 15, 24}, {}},
        {PointChoice::GreatestN, 250, {5, 15, 24}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.choice) * 1000 + c.count);
        auto state = ThreeJumps();
        state->notes.evaluation.choice = c.choice;
        state->notes.evaluation.count = c.count;
        ASSERT_EQ(RunProcessing(*state), kProcessingDone);
        ExpectNear(Volumes(*state), c.kept, 0.05);
        const EvaluationOutcome& o = state->curve.evaluation;
        EXPECT_EQ(o.foundCount, 3);
        ASSERT_EQ(o.leftOutCount, static_cast<int>(c.leftOut.size()));
        for (std::size_t k = 0; k < c.leftOut.size(); ++k) {
            EXPECT_NEAR(o.leftOut[k], c.leftOut[k], 0.05);
        }
    }
    auto state = ThreeJumps();
    state->notes.evaluation.choice = PointChoice::Greatest;
    RunProcessing(*state);
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::Russian),
              "Найдено точек: 3, показана наибольшая. Не показаны точки при 5; 24 мл.");
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::English),
              "3 points found, 1 reported; not reported: 5, 24 mL");
}

TEST(Evaluation, TheWindowBoundsTheSearchOfEitherCriterion) {
    struct Case {
        const char* name;
        EndPointCriterion criterion;
        EvaluationSettings window;
        std::vector<double> found;
    };
    const Case cases[] = {
        {"extremum, all",
         EndPointCriterion::DerivativeExtremum,
         Window(-kOpenEnd, kOpenEnd),
         {5, 15, 24}},
        {"extremum, around one jump", EndPointCriterion::DerivativeExtremum, Window(12, 18), {15}},
        {"extremum, open end",
         EndPointCriterion::DerivativeExtremum,
         Window(10, kOpenEnd),
         {15, 24}},
        // The first measured interval is never searched, window or not.
        {"extremum, first interval", EndPointCriterion::DerivativeExtremum, Window(0, 0.45), {}},
        // The end value 2 is crossed once, at 14.92 mL.
        {"end value, all", EndPointCriterion::GivenValue, Window(-kOpenEnd, kOpenEnd), {14.92}},
        {"end value, from 10", EndPointCriterion::GivenValue, Window(10, kOpenEnd), {14.92}},
        {"end value, up to 10", EndPointCriterion::GivenValue, Window(-kOpenEnd, 10), {}},
        {"end value, after", EndPointCriterion::GivenValue, Window(16, 30), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto state = ThreeJumps();
        state->processing.criterion = c.criterion;
        state->processing.endValuePh = 2.0;
        state->notes.evaluation = c.window;
        ASSERT_EQ(RunProcessing(*state), kProcessingDone);
        ExpectNear(Volumes(*state), c.found, 0.05);
    }
    // A window holding the whole curve finds exactly what no window finds.
    for (EndPointCriterion criterion :
         {EndPointCriterion::GivenValue, EndPointCriterion::DerivativeExtremum}) {
        auto plain = ThreeJumps();
        auto wide = ThreeJumps();
        plain->processing.criterion = wide->processing.criterion = criterion;
        plain->processing.endValuePh = wide->processing.endValuePh = 2.0;
        wide->notes.evaluation = Window(0.0, 1000.0);
        RunProcessing(*plain);
        RunProcessing(*wide);
        ASSERT_EQ(plain->curve.equivalencePointCount, wide->curve.equivalencePointCount);
        for (int k = 0; k < plain->curve.equivalencePointCount; ++k) {
            const EquivalencePoint& a = plain->curve.equivalencePoints[k];
            const EquivalencePoint& b = wide->curve.equivalencePoints[k];
            EXPECT_EQ(std::tuple(a.volume, a.value, a.derivative),
                      std::tuple(b.volume, b.value, b.derivative));
        }
    }
}

TEST(Evaluation, AnEndValueCrossedOnlyOutsideTheWindowIsNamed) {
    auto state = ThreeJumps();
    state->processing.criterion = EndPointCriterion::GivenValue;
    state->processing.endValuePh = 2.0;
    state->notes.evaluation = Window(16, 30);
    ASSERT_EQ(RunProcessing(*state), kProcessingDone);
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::English),
              "no equivalence point found: the curve reaches the end value 2 at 14.92 mL, "
              "outside the search window 16:30");
    state->display.decimalComma = 1;
    EXPECT_EQ(EvaluationNoticeText(*state, NoticeLanguage::Russian),
              "Точка эквивалентности не найдена: кривая достигает значения 2 при 14,92 мл, вне "
              "окна поиска от 16 до 30 мл.");
}

TEST(Evaluation, APointWithinOneAdditionOfTheWindowsEdgeIsNamed) {
    struct Case {
        EvaluationSettings window;
        bool nearEdge;
        double edge;
    };
    for (const Case& c : {Case{Window(4.8, 10), true, 4.8}, Case{Window(3.0, 10), false, 0.0},
                          Case{Window(0, 15.3), true, 15.3}, Case{Window(0, 16), false, 0.0}}) {
        SCOPED_TRACE(c.window.windowFrom * 100 + c.window.windowTo);
        auto state = ThreeJumps();
        state->notes.evaluation = c.window;
        ASSERT_EQ(RunProcessing(*state), kProcessingDone);
        const EvaluationOutcome& o = state->curve.evaluation;
        EXPECT_EQ(o.nearEdge, c.nearEdge);
        if (c.nearEdge) {
            EXPECT_EQ(o.edgeVolume, c.edge);
            EXPECT_NE(EvaluationNoticeText(*state, NoticeLanguage::Russian)
                          .find("лежит у края окна поиска"),
                      std::string::npos);
        }
    }
}

TEST(Evaluation, ThePrintedSummaryNamesWhatDiffersFromTheDefault) {
    const auto summary = [](const EvaluationSettings& e, bool comma) {
        return Cp1251ToUtf8(EvaluationSummary(e, comma).view());
    };
    EvaluationSettings e;
    EXPECT_EQ(summary(e, false), "");
    e.choice = PointChoice::GreatestN;
    e.count = 2;
    EXPECT_EQ(summary(e, false), "Выбор точек: 2 наибольших");
    e = Window(4.5, kOpenEnd);
    EXPECT_EQ(summary(e, true), "Окно поиска: от 4,5 мл");
    e.windowTo = 6;
    e.choice = PointChoice::Last;
    EXPECT_EQ(summary(e, false), "Окно поиска: от 4.5 до 6 мл; выбор точек: последняя");
}

}  // namespace
}  // namespace kelm
