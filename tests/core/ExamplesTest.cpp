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

TEST(Examples, TheSettlingElectrodeStepsFarMoreSteeplyThanItsJump) {
    const SharedState s = LoadExample("settling-electrode.kel");
    ExpectRisingVolumesAndAKnownStart(s);
    EXPECT_EQ(s.record.points[1].volume, 0.0005);
    EXPECT_NEAR(s.record.points[0].value - s.record.points[1].value, 1.2, 0.03);
    EXPECT_NEAR(SteepestStep(s.record, 0, 40), 0.00025, 1e-9);  // the artefact
    EXPECT_NEAR(SteepestStep(s.record, 1, 40), 20.0, 0.05);     // the chemistry
}

TEST(Examples, DiproticAcidHasTwoJumps) {
    const SharedState s = LoadExample("maleic-naoh.kel");
    ExpectRisingVolumesAndAKnownStart(s);
    EXPECT_EQ(s.record.quantity, MeasuredQuantity::Ph);
    EXPECT_NEAR(SteepestStep(s.record, 5, 15), 10.0, 0.2);
    EXPECT_NEAR(SteepestStep(s.record, 15, 30), 20.0, 0.1);
}

TEST(Examples, TheWorkedExampleKeepsItsResultData) {
    // The titer determination: 1.998804 mmol of hydrogen phthalate over
    // 0.09954 M NaOH is 20.080 mL.
    const SharedState titer = LoadExample("naoh-titer.kel");
    ExpectRisingVolumesAndAKnownStart(titer);
    EXPECT_TRUE(titer.notes.result.titerDetermination);
    EXPECT_EQ(titer.notes.result.standardMass, 0.4084);
    EXPECT_EQ(titer.notes.result.standardPurity, 99.95);
    EXPECT_EQ(titer.notes.result.standardMolarMass, 204.22);
    EXPECT_NEAR(SteepestStep(titer.record, 15, 25), 20.08, 0.05);
    // The samples: 10, 15 and 20 mL of 0.1012 M HCl, each with its own amount.
    const struct {
        const char* file;
        double amount;
    } samples[] = {
        {"hcl-sample-1.kel", 10.0}, {"hcl-sample-2.kel", 15.0}, {"hcl-sample-3.kel", 20.0}};
    for (const auto& sample : samples) {
        const SharedState s = LoadExample(sample.file);
        ExpectRisingVolumesAndAKnownStart(s);
        EXPECT_EQ(s.notes.result.sampleAmount, sample.amount);
        EXPECT_EQ(s.notes.result.concentration, 0.1);
        EXPECT_EQ(s.notes.result.titer, 0.9954);
        EXPECT_NEAR(SteepestStep(s.record, 0, 40), sample.amount * 0.1012 / 0.09954, 0.05)
            << sample.file;
    }
}

}  // namespace
}  // namespace kelm
