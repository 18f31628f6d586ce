#include "processing/ResultsReport.h"

#include <gtest/gtest.h>

#include "CurveFixtures.h"
#include "core/Cp1251.h"

namespace kelm {
namespace {

using test::StateWithPoints;

// The report is code page 1251 bytes, like every text the core side writes.
std::string Cp(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

void SetEquivalencePoints(SharedState& state, std::initializer_list<EquivalencePoint> points) {
    state.curve.equivalencePointCount = 0;
    for (const EquivalencePoint& p : points) {
        state.curve.equivalencePoints[state.curve.equivalencePointCount++] = p;
    }
}

TEST(ResultsReport, ListsTheEquivalencePointsWithTheQuantitysTitleAndDecimals) {
    auto state = StateWithPoints({{0.0, 2.0}, {1.0, 3.0}, {2.0, 11.0}});
    state->record.quantity = MeasuredQuantity::Ph;
    SetEquivalencePoints(*state, {{12.3456, 7.00049, 5.0}, {20.5, 8.25, 1.0}});
    ResultsReport report;
    EXPECT_EQ(report.Fill(*state, ReportMode::EquivalencePoints),
              Cp("Объём\tpH\r\n12.346\t7.\r\n20.5\t8.25\r\n"));

    state->record.quantity = MeasuredQuantity::Emf;
    state->display.decimalComma = 1;
    EXPECT_EQ(report.Fill(*state, ReportMode::EquivalencePoints),
              Cp("Объём\tЭДС\r\n12,346\t7,\r\n20,5\t8,25\r\n"));

    state->record.quantity = MeasuredQuantity::Px;
    SetEquivalencePoints(*state, {{1.0, -350.1274, 0.0}});
    EXPECT_EQ(report.Fill(*state, ReportMode::EquivalencePoints),
              Cp("Объём\tpX\r\n1,\t-350,127\r\n"));

    // Conductivity: titled as the result file's column, 3 decimals like pH and pX.
    state->record.quantity = MeasuredQuantity::Conductivity;
    state->display.decimalComma = 0;
    EXPECT_EQ(report.Fill(*state, ReportMode::EquivalencePoints),
              Cp("Объём\tУЭП\r\n1.\t-350.127\r\n"));
}

TEST(ResultsReport, RemembersTheModeShownLastButNotAnEmptyOne) {
    auto state = StateWithPoints({{0.5, 120.456}, {1.0, 180.0}});
    ResultsReport report;
    EXPECT_EQ(report.Fill(*state, ReportMode::EquivalencePoints), "");  // none found
    EXPECT_EQ(report.reportMode, ReportMode::EquivalencePoints);

    EXPECT_EQ(report.Fill(*state, ReportMode::CurvePoints),
              Cp("Объём\tЭДС\r\n0.5\t120.46\r\n1.\t180.\r\n"));
    EXPECT_EQ(report.reportMode, ReportMode::CurvePoints);
    state->display.decimalComma = 1;
    EXPECT_EQ(report.Fill(*state, ReportMode::LastShown),
              Cp("Объём\tЭДС\r\n0,5\t120,46\r\n1,\t180,\r\n"));

    // No points: empty text, and the next refresh still uses the curve points.
    state->record.pointCount = 0;
    EXPECT_EQ(report.Fill(*state, ReportMode::CurvePoints), "");
    state->record.pointCount = 1;
    EXPECT_EQ(report.Fill(*state, ReportMode::LastShown), Cp("Объём\tЭДС\r\n0,5\t120,46\r\n"));

    state->record.pointCount = -1;  // before the first record
    EXPECT_EQ(report.Fill(*state, ReportMode::CurvePoints), "");
}

}  // namespace
}  // namespace kelm
