#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

SharedState LoadExample(const std::string& name) {
    SharedState s;
    NewRecord(s);
    ApplyStartDefaults(s);
    EXPECT_EQ(LoadRecord(s, test::ReadBytes(std::string(KELM_EXAMPLES_DIR) + "/" + name)),
              LoadStatus::Loaded)
        << name;
    return s;
}

// The middle of the steepest step between neighbouring points whose volumes
// lie in [from, to].
double SteepestStep(const TitrationRecord& r, double from, double to) {
    double best = 0.0;
    double where = -1.0;
    for (int i = 1; i < PointCount(r); ++i) {
        const CurvePoint& a = r.points[i - 1];
        const CurvePoint& b = r.points[i];
        if (a.volume < from || b.volume > to) {
            continue;
        }
        const double slope = std::fabs((b.value - a.value) / (b.volume - a.volume));
        if (slope > best) {
            best = slope;
            where = 0.5 * (a.volume + b.volume);
        }
    }
    return where;
}

void ExpectRisingVolumesAndAKnownStart(const SharedState& s) {
    EXPECT_EQ(s.record.startTimeKnown, 1);
    EXPECT_NE(s.record.description[0], '\0');
    for (int i = 1; i < PointCount(s.record); ++i) {
        EXPECT_GT(s.record.points[i].volume, s.record.points[i - 1].volume) << i;
    }
}

TEST(Examples, StrongAcidJumpsAtTwentyMillilitres) {
    const SharedState s = LoadExample("hcl-naoh.kel");
    ExpectRisingVolumesAndAKnownStart(s);
    EXPECT_EQ(s.record.quantity, MeasuredQuantity::Ph);
    EXPECT_GE(s.record.pointCount, 35);
    EXPECT_NEAR(s.record.points[0].value, 1.0, 0.03);  // 0.1 M HCl
    EXPECT_NEAR(SteepestStep(s.record, 0, 40), 20.0, 0.05);
    EXPECT_NEAR(s.record.points[PointCount(s.record) - 1].value, 12.3, 0.1);
}

TEST(Examples, RedoxJumpsAtTwentyMillilitresInMillivolts) {
    const SharedState s = LoadExample("fe-ce-redox.kel");
    ExpectRisingVolumesAndAKnownStart(s);
    EXPECT_EQ(s.record.quantity, MeasuredQuantity::Emf);
    EXPECT_NEAR(SteepestStep(s.record, 0, 40), 20.0, 0.05);
    // Half-way the potential is the Fe(III)/Fe(II) formal potential against Ag/AgCl.
    for (int i = 0; i < PointCount(s.record); ++i) {
        if (s.record.points[i].volume == 10.0) {
            EXPECT_NEAR(s.record.points[i].value, 680.0 - 197.0, 2.0);
        }
    }
}

TEST(Examples, DiproticAcidHasTwoJumps) {
    const SharedState s = LoadExample("maleic-naoh.kel");
    ExpectRisingVolumesAndAKnownStart(s);
    EXPECT_EQ(s.record.quantity, MeasuredQuantity::Ph);
    EXPECT_NEAR(SteepestStep(s.record, 5, 15), 10.0, 0.2);
    EXPECT_NEAR(SteepestStep(s.record, 15, 30), 20.0, 0.1);
}

}  // namespace
}  // namespace kelm
