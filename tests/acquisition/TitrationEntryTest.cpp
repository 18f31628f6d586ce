// The point-entry logic in test time: a fake clock and the simulator's meter
// in process. Additions, typed and instrument records, the timer and drift
// rules, the failure and drift questions with ticks arriving while they are
// open, and the texts the window shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "Instrument.h"
#include "acquisition/DriftHistory.h"
#include "acquisition/EntryTexts.h"
#include "acquisition/TitrationEntry.h"
#include "core/Cp1251.h"
#include "core/ResultFile.h"
#include "support/FakeClock.h"
#include "support/InstrumentPort.h"
#include "support/ScriptedPrompter.h"

namespace kelm {
namespace {

using test::Message;

constexpr const char* kGoOn = "\r\nПродолжить работу с прибором?";

// A measurement reply the meter could send, for channel 1.
std::vector<std::uint8_t> NumberReply(int r, float value) {
    return test::MeasurementReply(0, 0x10, r, value);
}

class Window final : public EntryWindow {
public:
    void PointRecorded(int index) override { rows.push_back(index); }
    void Beep() override { ++beeps; }
    std::vector<int> rows;
    int beeps = 0;
};

class EntryTest : public ::testing::Test {
protected:
    EntryTest() : meter_(test::QuietMeter(), sim::SampleConfig{}) {
        NewRecord(state_);
        ApplyStartDefaults(state_);
        state_.redrawViews = [this] { ++redraws_; };
        state_.recordChanged = [this] { ++changes_; };
        entry_.Initialise();
    }

    void Quantity(MeasuredQuantity quantity) {
        state_.record.quantity = quantity;
        state_.link.codeR = QuantityCodeR(quantity);
    }
    void Mode(RecordMode mode) { entry_.SelectRecordMode(static_cast<int>(mode)); }
    void Add(std::string_view text) {
        entry_.SetAdditionText(text);
        entry_.AddTitrant();
    }
    void Type(std::string_view text) {
        entry_.SetValueText(text);
        entry_.RecordPoint();
    }
    void Tick(int seconds = 1) {
        clock_.Advance(seconds);
        entry_.OnAcquisitionTick();
    }
    // Ticks until the point is recorded or `limit` ticks have passed; the
    // number of ticks taken.
    int TickUntilRecorded(int limit, int seconds = 1) {
        for (int n = 1; n <= limit; ++n) {
            Tick(seconds);
            if (!entry_.AdditionPending()) {
                return n;
            }
        }
        return -1;
    }
    // The meter answers every request with this EMF reading.
    void Reads(float mv) { meter_.Config().scriptedReply = NumberReply(kREmf, mv); }
    // Ticks whose readings rise by 1 mV each: a drift of 60 mV/min.
    void RisingTicks(int n) {
        for (int i = 0; i < n; ++i) {
            Reads(risingMv_ += 1.0f);
            Tick();
        }
    }

    int Count() const { return state_.record.pointCount; }
    double VolumeAt(int i) const { return state_.record.points[i].volume; }
    double ValueAt(int i) const { return state_.record.points[i].value; }
    std::vector<std::string> Asked() const {
        std::vector<std::string> texts;
        for (const Message& m : prompter_.messages) {
            if (m.kind == "ask") {
                texts.push_back(m.text);
            }
        }
        return texts;
    }

    SharedState state_;
    test::FakeClock clock_;
    sim::Instrument meter_;
    test::InstrumentPort port_{meter_, [this] { return clock_.Seconds(); }};
    test::ScriptedPrompter prompter_;
    Window window_;
    TitrationEntry entry_{state_,    port_,  [] { return PortMap::Parse("COM1=/dev/sim-meter\n"); },
                          prompter_, clock_, window_};
    int redraws_ = 0;
    int changes_ = 0;       // told to the journal of unsaved records
    float risingMv_ = 100;  // the last of the rising readings
};

// Additions and typed values

TEST_F(EntryTest, AdditionsAccumulateAndTheListShowsTheChangePerVolume) {
    const std::tuple<const char*, const char*> steps[] = {{"5", "100"}, {"1", "110"}, {"1", "130"}};
    for (const auto& [addition, value] : steps) {
        Add(addition);
        EXPECT_TRUE(entry_.AdditionPending());
        Type(value);
    }
    EXPECT_TRUE(prompter_.messages.empty());
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(std::vector({VolumeAt(0), VolumeAt(1), VolumeAt(2)}), std::vector({5.0, 6.0, 7.0}));
    EXPECT_EQ(window_.rows, std::vector({0, 1, 2}));
    EXPECT_EQ(redraws_, 3);
    EXPECT_EQ(changes_, 3);       // each point, and only a point, changes the record
    EXPECT_EQ(window_.beeps, 0);  // typed values make no sound
    const PointRow first = ListRow(state_, 0);
    const PointRow third = ListRow(state_, 2);
    EXPECT_EQ(first.volume.view(), "5.");
    EXPECT_EQ(first.value.view(), "100.");
    EXPECT_TRUE(first.change.empty());
    EXPECT_EQ(third.volume.view(), "7.");
    EXPECT_EQ(third.value.view(), "130.");
    EXPECT_EQ(third.change.view(), "20.");  // (130 - 110) / 1
    // The addition box shows the number it read.
    EXPECT_EQ(entry_.AdditionText(), "1.");
    // The start of the record is the first addition's time.
    EXPECT_EQ(state_.record.startTimeKnown, 1);
    EXPECT_EQ(std::tie(state_.record.startTime.hour, state_.record.startTime.minute),
              std::make_tuple(9, 7));
}

TEST_F(EntryTest, RefusedAdditionsChangeNothingAndSayWhy) {
    struct Case {
        const char* first;   // accepted first addition, or null for none
        const char* second;  // the addition that is judged
        bool accepted;
        double volume;  // of the judged point when accepted
    };
    const Case cases[] = {
        {nullptr, "0", true, 0.0},      // the first point may be at volume 0
        {"0", "0", false, 0},           // a second addition of 0 is refused
        {nullptr, "-0,5", false, 0},    // negative
        {"2", "abc", false, 0},         // no number reads as 0
        {"2", "", false, 0},            // empty reads as 0
        {"2", "1,5", true, 3.5},        // a decimal comma
        {"2", " 0.25 mL", true, 2.25},  // the leading number of pasted text
        {"1e308", "1e308", false, 0},   // a sum no double holds
        {nullptr, "1e999", true, 0.0},  // beyond the double range reads as 0
    };
    for (const Case& c : cases) {
        NewRecord(state_);
        prompter_.messages.clear();
        if (c.first != nullptr) {
            Add(c.first);
            Type("1");
        }
        const int before = Count();
        Add(c.second);
        EXPECT_EQ(entry_.AdditionPending(), c.accepted) << c.second;
        EXPECT_EQ(Count(), before) << c.second;
        if (c.accepted) {
            EXPECT_TRUE(prompter_.messages.empty()) << c.second;
            EXPECT_DOUBLE_EQ(VolumeAt(before), c.volume) << c.second;
            Type("1");
        } else {
            ASSERT_EQ(prompter_.messages.size(), 1u) << c.second;
            const Message& m = prompter_.messages[0];
            EXPECT_EQ(std::tie(m.kind, m.caption, m.text),
                      std::tie("error", "Ошибка", "Неверное значение объёма"))
                << c.second;
            EXPECT_EQ(entry_.AdditionText(), c.second);  // left for the user to mend
        }
    }
}

TEST_F(EntryTest, TypedValuesReadAPointOrACommaAndAnEmptyBoxIsRefused) {
    const std::tuple<const char*, bool, double> cases[] = {
        {"", false, 0},         {"   ", false, 0},    {"7,25", true, 7.25},
        {"-3.5e1", true, -35},  {"abc", true, 0.0},  // no number reads as 0, as every box reads it
        {"12,5,6", true, 12.5}, {"1e999", true, 0.0},
    };
    for (const auto& [text, recorded, value] : cases) {
        prompter_.messages.clear();
        const int before = Count();
        if (!entry_.AdditionPending()) {
            Add("1");
        }
        Type(text);
        EXPECT_EQ(Count(), before + (recorded ? 1 : 0)) << text;
        if (recorded) {
            EXPECT_DOUBLE_EQ(ValueAt(before), value) << text;
            EXPECT_TRUE(prompter_.messages.empty()) << text;
        } else {
            ASSERT_EQ(prompter_.messages.size(), 1u) << text;
            EXPECT_EQ(prompter_.messages[0].text, "Неверное значение");
            EXPECT_TRUE(entry_.AdditionPending());
        }
    }
}

TEST_F(EntryTest, TheRecordEndsAt255PointsAndNothingMoreIsAdded) {
    state_.record.pointCount = 254;
    for (int i = 0; i < 254; ++i) {
        state_.record.points[i] = {double(i), 1.0};
    }
    entry_.UpdateControls();
    EXPECT_TRUE(entry_.View().addButton.enabled);
    Add("1");
    Type("2");
    EXPECT_EQ(Count(), kMaxPoints);
    EXPECT_DOUBLE_EQ(VolumeAt(254), 254.0);
    EXPECT_FALSE(entry_.View().addButton.enabled);
    EXPECT_FALSE(entry_.View().recordButton.enabled);
    Add("1");
    Type("3");
    EXPECT_EQ(Count(), kMaxPoints);
    EXPECT_FALSE(entry_.AdditionPending());
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(state_.record.points[255].volume, 0.0);
}

TEST_F(EntryTest, APointIsNeverWrittenIntoARecordThatReplacedItsOwn) {
    Mode(RecordMode::Timer);
    Add("4");
    NewRecord(state_);  // "Новый" while the addition waits
    for (int i = 0; i < 40; ++i) {
        Tick();
    }
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(entry_.AdditionPending());
    EXPECT_FALSE(entry_.View().timerRunning);
}

// A first addition of 0 leaves the record as empty as a new one, so only the
// record's identity tells them apart: whatever takes the value next, typed or
// from the meter, must not write it into the record that came meanwhile.
TEST_F(EntryTest, AFirstAdditionOfZeroNeverSurvivesNewOrOpen) {
    SharedState empty;
    NewRecord(empty);
    const std::string emptyFile = SaveRecord(empty);
    enum class Then { Nothing, New, OpenEmpty };
    const std::pair<Then, const char*> replacements[] = {
        {Then::Nothing, "nothing"}, {Then::New, "New"}, {Then::OpenEmpty, "Open"}};
    for (const RecordMode mode :
         {RecordMode::Manual, RecordMode::Instrument, RecordMode::Timer, RecordMode::Drift}) {
        for (const auto& [then, name] : replacements) {
            NewRecord(state_);
            entry_.Initialise();
            window_.rows.clear();
            Mode(mode);
            Reads(100.0f);  // steady: the drift rule records at its first chance
            Add("0");
            ASSERT_TRUE(entry_.AdditionPending()) << int(mode) << name;
            if (then == Then::New) {
                NewRecord(state_);
            } else if (then == Then::OpenEmpty) {
                ASSERT_EQ(LoadRecord(state_, emptyFile), LoadStatus::Loaded);
            }
            if (mode == RecordMode::Manual) {
                Type("5");
            } else {
                TickUntilRecorded(40);
                entry_.RecordPoint();  // and the user's press, for the meter's modes
            }
            const bool kept = then == Then::Nothing;
            EXPECT_EQ(Count(), kept ? 1 : 0) << int(mode) << name;
            EXPECT_EQ(window_.rows.size(), kept ? 1u : 0u) << int(mode) << name;
            EXPECT_FALSE(entry_.AdditionPending()) << int(mode) << name;
            EXPECT_FALSE(entry_.View().timerRunning) << int(mode) << name;
            EXPECT_TRUE(entry_.View().addButton.enabled) << int(mode) << name;
            if (!kept) {
                EXPECT_EQ(ValueAt(0), 0.0) << int(mode) << name;
                EXPECT_EQ(state_.record.startTimeKnown, 0) << int(mode) << name;
            }
        }
    }
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST(RecordIdentity, EveryNewAndEveryLoadGivesANewOneAndAFailedLoadNone) {
    SharedState source;
    NewRecord(source);
    const std::string file = SaveRecord(source);
    SharedState s;
    std::uint32_t last = s.recordIdentity;
    const auto changed = [&] {
        const bool moved = s.recordIdentity != last;
        last = s.recordIdentity;
        return moved;
    };
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { NewRecord(s); }, true},
        {[&] { NewRecord(s); }, true},
        {[&] { LoadRecord(s, file); }, true},
        {[&] { LoadRecord(s, file); }, true},  // the same file opened again
        {[&] { LoadRecord(s, "text only, no data"); }, false},
        {[&] { LoadRecord(s, file.substr(0, file.size() / 2)); }, false},
        {[&] { RecordChanged(s); }, false},  // a change is the same record
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].first();
        EXPECT_EQ(changed(), steps[i].second) << i;
    }
}

// The controls by state

TEST_F(EntryTest, ControlsFollowTheModeAndWhetherAnAdditionWaits) {
    constexpr ControlState off{false, true}, on{true, false}, shown{true, true};
    struct Row {
        RecordMode mode;
        bool pending;
        ControlState list, criterion, addition, add, value, record;
        bool timer;
    };
    const Row rows[] = {
        {RecordMode::Manual, false, on, off, on, on, off, off, false},
        {RecordMode::Instrument, false, on, off, on, on, off, off, false},
        {RecordMode::Timer, false, on, on, on, on, shown, off, false},
        {RecordMode::Drift, false, on, on, on, on, shown, off, false},
        {RecordMode::Manual, true, off, off, off, off, on, on, false},
        {RecordMode::Instrument, true, off, off, off, off, shown, on, true},
        {RecordMode::Timer, true, off, off, off, off, shown, off, true},
        {RecordMode::Drift, true, off, off, off, off, shown, off, true},
    };
    for (const Row& r : rows) {
        NewRecord(state_);
        entry_.Initialise();
        Mode(r.mode);
        if (r.pending) {
            Add("1");
        }
        const EntryView& v = entry_.View();
        const auto enabled = [](ControlState s) { return s.enabled; };
        EXPECT_EQ(v.recordMode, static_cast<int>(r.mode));
        EXPECT_EQ(std::tie(v.criterionList.enabled, v.criterionBox, v.additionBox),
                  std::make_tuple(r.list.enabled, r.criterion, r.addition))
            << int(r.mode) << r.pending;
        EXPECT_EQ(std::make_tuple(enabled(v.addButton), v.valueBox, enabled(v.recordButton)),
                  std::make_tuple(r.add.enabled, r.value, r.record.enabled))
            << int(r.mode) << r.pending;
        EXPECT_EQ(v.timerRunning, r.timer) << int(r.mode) << r.pending;
        const bool hasCriterion = r.mode == RecordMode::Timer || r.mode == RecordMode::Drift;
        EXPECT_EQ(entry_.CriterionText().empty(), !hasCriterion) << int(r.mode);
    }
}

TEST_F(EntryTest, EachModeGetsAUsableCriterionAndTheListIndexIsClamped) {
    state_.acquisition.timerSeconds = 0;
    state_.acquisition.driftLimit = -2;
    Mode(RecordMode::Timer);
    EXPECT_EQ(state_.acquisition.timerSeconds, 30.0);
    EXPECT_EQ(entry_.CriterionText(), "30.");
    Mode(RecordMode::Drift);
    EXPECT_EQ(state_.acquisition.driftLimit, 1.0);
    EXPECT_EQ(entry_.CriterionText(), "1.");
    entry_.SelectRecordMode(7);
    EXPECT_EQ(state_.acquisition.recordMode, RecordMode::Drift);
    entry_.SelectRecordMode(-1);
    EXPECT_EQ(state_.acquisition.recordMode, RecordMode::Manual);
    EXPECT_TRUE(entry_.CriterionText().empty());
}

TEST_F(EntryTest, CriterionValuesAreCheckedWhenTheBoxIsLeft) {
    struct Case {
        RecordMode mode;
        const char* text;
        const char* question;  // null: none
        Answer answer;
        double stored;  // the setting afterwards (from 30 s or 1 mV/min)
        const char* shown;
    };
    const Case cases[] = {
        {RecordMode::Timer, "45,5", nullptr, Answer::No, 45.5, "45,5"},
        {RecordMode::Timer, "3", "Значение таймера менее 5 секунд.\r\nЗаписать?", Answer::No, 30,
         "30,"},
        {RecordMode::Timer, "3", "Значение таймера менее 5 секунд.\r\nЗаписать?", Answer::Yes, 3,
         "3,"},
        {RecordMode::Timer, "700", "Значение таймера более 10 минут.\r\nЗаписать?", Answer::Yes,
         700, "700,"},
        {RecordMode::Drift, "0,05", "Значение дрейфа менее 0,1 мВ/мин.\r\nЗаписать?", Answer::No, 1,
         "1,"},
        {RecordMode::Drift, "11", "Значение дрейфа более 10 мВ/мин.\r\nЗаписать?", Answer::Yes, 11,
         "11,"},
        {RecordMode::Drift, "2.5 мВ", nullptr, Answer::No, 2.5, "2,5"},
    };
    state_.display.decimalComma = 1;  // the box shows the separator the user chose
    for (const Case& c : cases) {
        state_.acquisition.timerSeconds = 30;
        state_.acquisition.driftLimit = 1;
        Mode(c.mode);
        prompter_.messages.clear();
        prompter_.answers = {c.answer};
        entry_.SetCriterionText(c.text);
        entry_.CheckCriterionValue();
        const double stored = c.mode == RecordMode::Timer ? state_.acquisition.timerSeconds
                                                          : state_.acquisition.driftLimit;
        EXPECT_DOUBLE_EQ(stored, c.stored) << c.text;
        EXPECT_EQ(entry_.CriterionText(), c.shown) << c.text;
        if (c.question != nullptr) {
            ASSERT_EQ(prompter_.messages.size(), 1u) << c.text;
            const Message& m = prompter_.messages[0];
            EXPECT_EQ(
                std::tie(m.caption, m.text, m.defaultAnswer, m.icon),
                std::make_tuple("Предупреждение", c.question, Answer::No, QuestionIcon::Warning));
        } else {
            EXPECT_TRUE(prompter_.messages.empty()) << c.text;
        }
    }
    // Nothing positive is refused and the box returns to the value held.
    for (const char* text : {"0", "-5", "abc", ""}) {
        prompter_.messages.clear();
        entry_.SetCriterionText(text);
        entry_.CheckCriterionValue();
        ASSERT_EQ(prompter_.Texts(), std::vector<std::string>{"Неверное значение"}) << text;
        EXPECT_EQ(entry_.CriterionText(), "2,5") << text;
    }
}

TEST_F(EntryTest, AChangeOfSeparatorRewritesOnlyTheNumbersTheWindowWrote) {
    Mode(RecordMode::Timer);
    Reads(123.25f);
    Add("1.5");
    Tick();
    state_.display.decimalComma = 1;
    entry_.RefreshNumbers();
    EXPECT_EQ(std::tie(entry_.AdditionText(), entry_.CriterionText(), entry_.ValueText()),
              std::make_tuple("1,5", "30,", "123,25"));
    // A point now typed by hand, and a volume typed for the next one, stay as typed.
    prompter_.answers = {Answer::No};
    meter_.Config().fault = sim::Fault::Silent;
    Tick();
    Tick();
    entry_.SetValueText("124.5");
    entry_.SetAdditionText("0.5");
    state_.display.decimalComma = 0;
    entry_.RefreshNumbers();
    EXPECT_EQ(std::tie(entry_.AdditionText(), entry_.ValueText()), std::make_tuple("0.5", "124.5"));
}

// Readings from the meter

TEST_F(EntryTest, ReadingsAreShownAndListedWithTheirQuantitysDecimals) {
    struct Case {
        MeasuredQuantity quantity;
        int r;
        float reading;
        int decimalComma;
        const char* shown;
        const char* listed;
    };
    const Case cases[] = {
        {MeasuredQuantity::Emf, kREmf, 123.4567f, 0, "123.457", "123.46"},
        {MeasuredQuantity::Ph, kRPh, 4.56789f, 0, "4.57", "4.568"},
        {MeasuredQuantity::Ph, kRPh, 4.56789f, 1, "4,57", "4,568"},
        {MeasuredQuantity::Conductivity, kRConductivity, 12.3456f, 0, "12.35", "12.346"},
    };
    for (const Case& c : cases) {
        NewRecord(state_);
        Quantity(c.quantity);
        state_.display.decimalComma = c.decimalComma;
        meter_.Config().scriptedReply = NumberReply(c.r, c.reading);
        Mode(RecordMode::Instrument);
        Add("1");
        Tick();
        EXPECT_EQ(entry_.ValueText(), c.shown);
        entry_.RecordPoint();
        ASSERT_EQ(Count(), 1);
        EXPECT_DOUBLE_EQ(ValueAt(0), double(c.reading));
        EXPECT_EQ(ListRow(state_, 0).value.view(), c.listed);
        EXPECT_TRUE(entry_.ValueText().empty());  // emptied once recorded
    }
    EXPECT_EQ(window_.beeps, 4);
}

TEST_F(EntryTest, InstrumentModeRecordsOnlyAReadingTakenAfterTheAddition) {
    Mode(RecordMode::Instrument);
    Reads(250.0f);
    Add("1");
    Tick();
    entry_.RecordPoint();
    ASSERT_EQ(Count(), 1);

    Reads(180.0f);
    Add("1");
    EXPECT_TRUE(entry_.ValueText().empty());  // the last point's reading is gone
    entry_.RecordPoint();                     // Enter twice quickly: nothing yet
    EXPECT_EQ(Count(), 1);
    meter_.Config().fault = sim::Fault::Silent;
    Tick();  // a failed first tick shows nothing and records nothing
    EXPECT_TRUE(entry_.ValueText().empty());
    entry_.RecordPoint();
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(entry_.AdditionPending());
    meter_.Config().fault = sim::Fault::None;
    Tick();
    EXPECT_EQ(entry_.ValueText(), "180.");
    entry_.RecordPoint();
    ASSERT_EQ(Count(), 2);
    EXPECT_DOUBLE_EQ(ValueAt(1), 180.0);
    EXPECT_EQ(window_.beeps, 2);
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(EntryTest, TimerModeRecordsAtTheFirstValidTickAtOrPastItsTime) {
    state_.acquisition.timerSeconds = 30;
    Mode(RecordMode::Timer);
    Reads(200.0f);
    Add("2");
    for (int n = 1; n <= 29; ++n) {
        Tick();
    }
    EXPECT_TRUE(entry_.AdditionPending());
    meter_.Config().fault = sim::Fault::Silent;
    Tick();  // due at 30 s, but a failed tick never records
    EXPECT_TRUE(entry_.AdditionPending());
    meter_.Config().fault = sim::Fault::None;
    Tick();
    EXPECT_FALSE(entry_.AdditionPending());
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(entry_.TickCount(), 31);
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_FALSE(entry_.View().timerRunning);
    EXPECT_EQ(window_.beeps, 1);
    EXPECT_EQ(window_.rows, std::vector{0});
}

TEST_F(EntryTest, TheTimerCountsAcrossMidnight) {
    clock_.Set(23, 59, 50);
    state_.acquisition.timerSeconds = 30;
    Mode(RecordMode::Timer);
    Add("1");
    EXPECT_EQ(TickUntilRecorded(100), 30);
    const LocalTime now = clock_.Now();
    EXPECT_EQ(std::tie(now.hour, now.minute, now.second), std::make_tuple(0, 0, 20));
}

TEST_F(EntryTest, DriftModeNeverRecordsBeforeTheThirtiethTick) {
    Mode(RecordMode::Drift);
    Reads(150.0f);  // no drift at all
    Add("1");
    // Ticks two seconds apart: 30 s of readings after 16 ticks, still too early.
    EXPECT_EQ(TickUntilRecorded(100, 2), 30);
    EXPECT_DOUBLE_EQ(ValueAt(0), 150.0);
}

TEST_F(EntryTest, DriftOf1MvPerMinuteRecordsAtALimitOf1) {
    for (const double limit : {1.0, 0.99}) {
        NewRecord(state_);
        state_.acquisition.driftLimit = limit;
        Mode(RecordMode::Drift);
        Reads(100.0f);
        Add("1");
        for (int n = 1; n <= 30; ++n) {
            Tick();
        }
        EXPECT_TRUE(entry_.AdditionPending());  // the oldest reading is 29 s old
        Reads(100.5f);
        Tick();  // 100.0 mV 30 s ago, 100.5 mV now
        EXPECT_EQ(Count(), limit == 1.0 ? 1 : 0) << limit;
        if (limit == 1.0) {
            EXPECT_DOUBLE_EQ(ValueAt(0), 100.5);
        }
    }
}

TEST_F(EntryTest, DriftIsMeasuredOnlyOnReadingsOfThePointItself) {
    // An electrode at pH 7 reads 0 mV; the empty history must not pass for a
    // reading of 0 mV taken 30 s before the first tick.
    Mode(RecordMode::Drift);
    Reads(0.0f);
    Add("0");
    EXPECT_EQ(TickUntilRecorded(100), 31);
    // Nor is the previous point's reading, taken at its addition's second,
    // one of this point's.
    Mode(RecordMode::Instrument);
    Reads(100.0f);
    Add("1");
    Tick(0);
    entry_.RecordPoint();
    Mode(RecordMode::Drift);
    Add("1");
    EXPECT_EQ(TickUntilRecorded(100), 31);

    DriftHistory history;
    for (int s = 1; s <= 40; ++s) {
        history.Add(s, 500.0);
    }
    history.Restart();
    double drift = 0;
    for (int s = 1; s <= 30; ++s) {
        history.Add(s, 100.0);
        EXPECT_FALSE(history.Drift(drift)) << s;
    }
    history.Add(31, 101.0);
    ASSERT_TRUE(history.Drift(drift));
    EXPECT_DOUBLE_EQ(drift, 2.0);
    // Past 60 readings the oldest are forgotten.
    for (int s = 32; s <= 200; ++s) {
        history.Add(s, s < 150 ? 100.0 : 130.0);
    }
    EXPECT_EQ(history.Count(), kDriftHistoryLength + 1);
    ASSERT_TRUE(history.Drift(drift));
    EXPECT_DOUBLE_EQ(drift, 0.0);  // 200 s against 170 s, both 130 mV
}

TEST_F(EntryTest, ASettlingElectrodeIsRecordedOnceItHasSettled) {
    meter_.Config().timeConstantS = 5;
    Mode(RecordMode::Drift);
    Add("0");
    ASSERT_GT(TickUntilRecorded(100), 0);
    const double start = ValueAt(0);
    Add("19");
    meter_.SetVolume(19, clock_.Seconds());  // the chemist pours the titrant in
    const int ticks = TickUntilRecorded(300);
    ASSERT_GT(ticks, 30);
    const sim::Chemistry chemistry{sim::SampleConfig{}};
    // At 1 mV/min over 30 s the reading is within a fraction of a mV of the end.
    EXPECT_NEAR(ValueAt(1), chemistry.Emf(19), 0.5);
    EXPECT_LT(ValueAt(1), start - 50);
}

TEST_F(EntryTest, FiveMinutesWithoutLowDriftAskWhetherToRecord) {
    Mode(RecordMode::Drift);
    Add("1");
    prompter_.answers = {Answer::No, Answer::Yes};
    RisingTicks(299);
    EXPECT_TRUE(prompter_.messages.empty());
    RisingTicks(1);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    const Message& m = prompter_.messages[0];
    EXPECT_EQ(std::tie(m.kind, m.caption, m.text, m.defaultAnswer, m.icon),
              std::make_tuple("ask", "Дрейф за 5 минут", "Дрейф 60. мВ/мин.\r\nЗаписать?",
                              Answer::No, QuestionIcon::Question));
    EXPECT_TRUE(entry_.AdditionPending());  // No: the wait goes on
    RisingTicks(300);
    EXPECT_EQ(prompter_.messages.size(), 2u);
    ASSERT_EQ(Count(), 1);  // Yes records the reading
    EXPECT_DOUBLE_EQ(ValueAt(0), double(risingMv_));
}

TEST_F(EntryTest, AtFiveMinutesWithoutAMeasurableDriftTheUserMayStillRecord) {
    Mode(RecordMode::Drift);
    Reads(100.0f);
    Add("1");
    prompter_.answers = {Answer::Yes};
    // The clock stands still: no reading is ever 30 s older than another.
    EXPECT_EQ(TickUntilRecorded(400, 0), 300);
    EXPECT_EQ(Asked(), std::vector<std::string>{"Дрейф за 30 с не измерен.\r\nЗаписать?"});
}

TEST_F(EntryTest, APointRecordedWhileTheDriftQuestionIsOpenIsNotRecordedAgain) {
    Mode(RecordMode::Drift);
    Add("1");
    RisingTicks(299);
    prompter_.answers = {Answer::Yes};
    prompter_.whileOpen = [&](const Message&) {
        Reads(risingMv_);  // the reading settles while the box waits
        for (int i = 0; i < 40; ++i) {
            Tick();
        }
        Mode(RecordMode::Manual);
        Add("1");  // and the next addition is made
    };
    RisingTicks(1);
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(window_.rows, std::vector{0});
    EXPECT_EQ(prompter_.messages.size(), 1u);
    EXPECT_TRUE(entry_.AdditionPending());  // the Yes was not for this one
}

// Failed readings

TEST_F(EntryTest, TwoFailedTicksInARowAskOnceWhateverTicksComeWhileTheQuestionIsOpen) {
    state_.acquisition.timerSeconds = 600;
    Mode(RecordMode::Timer);
    Reads(200.0f);
    Add("1");
    Tick();
    meter_.Config().fault = sim::Fault::Silent;
    Tick();  // one failed tick says nothing, and the box keeps the last reading
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(entry_.ValueText(), "200.");
    meter_.Config().fault = sim::Fault::None;
    Tick();
    meter_.Config().fault = sim::Fault::Silent;
    Tick();
    EXPECT_TRUE(prompter_.messages.empty());  // not two in a row

    prompter_.answers = {Answer::Yes};
    int whileOpen = 0;
    prompter_.whileOpen = [&](const Message&) {
        if (whileOpen++ > 0) {
            return;
        }
        // Failures, a good reading, and failures again while the box waits.
        for (const sim::Fault fault : {sim::Fault::Silent, sim::Fault::None, sim::Fault::Silent,
                                       sim::Fault::Silent, sim::Fault::Silent}) {
            meter_.Config().fault = fault;
            Tick();
        }
    };
    Tick();
    ASSERT_EQ(Asked(), std::vector<std::string>{std::string("Нет связи") + kGoOn});
    const Message& m = prompter_.messages[0];
    EXPECT_EQ(std::tie(m.caption, m.defaultAnswer, m.icon),
              std::make_tuple("Предупреждение", Answer::No, QuestionIcon::Warning));
    // Yes: the meter is read on, and two more failures ask again.
    EXPECT_EQ(entry_.FailureStreak(), 0);
    EXPECT_EQ(state_.acquisition.recordMode, RecordMode::Timer);
    EXPECT_TRUE(entry_.View().timerRunning);
    prompter_.whileOpen = nullptr;
    prompter_.answers = {Answer::No};
    Tick();
    EXPECT_EQ(Asked().size(), 1u);
    Tick();
    EXPECT_EQ(Asked().size(), 2u);
    // No: typed entry, with the point still waiting for its value.
    EXPECT_EQ(state_.acquisition.recordMode, RecordMode::Manual);
    EXPECT_TRUE(entry_.AdditionPending());
    EXPECT_FALSE(entry_.View().timerRunning);
    EXPECT_EQ(entry_.View().valueBox, (ControlState{true, false}));
    EXPECT_EQ(entry_.ValueText(), "200.");  // the last reading is offered
    Type("205,5");
    ASSERT_EQ(Count(), 1);
    EXPECT_DOUBLE_EQ(ValueAt(0), 205.5);
}

TEST_F(EntryTest, AFailureThatOutlastsTheDriftQuestionIsAskedAfterIt) {
    Mode(RecordMode::Drift);
    Add("1");
    RisingTicks(299);
    prompter_.answers = {Answer::No, Answer::No};
    prompter_.whileOpen = [&](const Message& m) {
        if (m.caption == "Дрейф за 5 минут") {
            meter_.Config().fault = sim::Fault::Silent;
            Tick();
            Tick();
            Tick();
        }
    };
    RisingTicks(1);
    EXPECT_EQ(Asked().size(), 1u);
    Tick();  // still failing once the box is gone: now the user is asked
    EXPECT_EQ(Asked(), (std::vector<std::string>{"Дрейф 60. мВ/мин.\r\nЗаписать?",
                                                 std::string("Нет связи") + kGoOn}));
}

TEST_F(EntryTest, EachFailureIsWordedByItsCode) {
    const auto error = [this](int code) {
        return [this, code] { meter_.Config().errorCode = code; };
    };
    const auto fault = [this](sim::Fault f) { return [this, f] { meter_.Config().fault = f; }; };
    const std::tuple<const char*, std::function<void()>> cases[] = {
        {"Неверный формат данных", error(2)},
        {"Ошибка в параметрах команды", error(3)},
        {"Данные не готовы", error(4)},
        {"Прибор не исправен", error(255)},
        {"Ошибка 1ah", error(26)},
        {"Нет связи", fault(sim::Fault::Silent)},
        {"Ошибка пакета", fault(sim::Fault::BadChecksum)},
        {"Ошибка пакета", [this] { Reads(std::nanf("")); }},  // a reply without a value
        {"Ошибка COM порта", [this] { port_.present = false; }},
        {"Ошибка COM порта", [this] { state_.link.comPort = 9; }},
    };
    for (const auto& [text, fail] : cases) {
        meter_.Config() = test::QuietMeter();
        port_.present = true;
        state_.link.comPort = 1;
        Mode(RecordMode::Instrument);
        prompter_.messages.clear();
        prompter_.answers = {Answer::Yes};
        Add("1");
        fail();
        Tick();
        Tick();
        EXPECT_EQ(Asked(), std::vector<std::string>{std::string(text) + kGoOn}) << text;
        // The point is finished by hand for the next case.
        Mode(RecordMode::Manual);
        Type("1");
        EXPECT_FALSE(entry_.AdditionPending());
    }
}

TEST_F(EntryTest, APhRecordWhoseEmfFailsStillRecordsByTimeAndAsksInDriftMode) {
    Quantity(MeasuredQuantity::Ph);
    // The pH is read; the channel's EMF request gets a reply for another
    // parameter, which is a packet error.
    meter_.Config().scriptedReply = NumberReply(kRPh, 6.5f);

    state_.acquisition.timerSeconds = 10;
    Mode(RecordMode::Timer);
    Add("1");
    EXPECT_EQ(TickUntilRecorded(20), 10);
    EXPECT_DOUBLE_EQ(ValueAt(0), 6.5);
    EXPECT_TRUE(prompter_.messages.empty());

    Mode(RecordMode::Drift);
    prompter_.answers = {Answer::No};
    Add("1");
    Tick();
    EXPECT_EQ(entry_.ValueText(), "6.5");  // the pH itself is still shown
    EXPECT_TRUE(prompter_.messages.empty());
    Tick();
    EXPECT_EQ(Asked(), std::vector<std::string>{std::string("Ошибка пакета") + kGoOn});
    EXPECT_EQ(state_.acquisition.recordMode, RecordMode::Manual);
    Type("6,5");
    EXPECT_EQ(Count(), 2);
}

// Texts of the window

TEST(EntryTexts, TheTitleIsTheDescriptionCutAt80Characters) {
    const std::tuple<std::string, std::string> cases[] = {
        {"", ""},
        {"Проба 1", "Проба 1"},
        {std::string(80, 'a'), std::string(80, 'a')},
        {std::string(100, 'b'), std::string(80, 'b') + "..."},
    };
    for (const auto& [description, title] : cases) {
        TitrationRecord record;
        const std::string bytes = Utf8ToCp1251(description);
        std::copy(bytes.begin(), bytes.end(), record.description.begin());
        EXPECT_EQ(Cp1251ToUtf8(EntryTitle(record).view()), title);
    }
}

}  // namespace
}  // namespace kelm
