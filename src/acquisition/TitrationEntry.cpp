#include "acquisition/TitrationEntry.h"

#include <algorithm>
#include <cmath>

#include "acquisition/EntryTexts.h"
#include "acquisition/TickReading.h"
#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "link/ReadingFailure.h"

namespace kelm {

namespace {

constexpr std::string_view kErrorCaption = "Ошибка";
constexpr std::string_view kWarningCaption = "Предупреждение";
constexpr std::string_view kBadVolume = "Неверное значение объёма";
constexpr std::string_view kBadValue = "Неверное значение";
constexpr std::string_view kGoOn = "\r\nПродолжить работу с прибором?";
constexpr std::string_view kDriftCaption = "Дрейф за 5 минут";
constexpr std::string_view kRecordQuestion = "\r\nЗаписать?";
constexpr int kSecondsPerDay = 86400;
constexpr int kAdditionDigits = 6;
constexpr int kCriterionDigits = 4;
constexpr int kDriftDigits = 5;
constexpr double kDefaultTimerSeconds = 30.0;
constexpr double kDefaultDriftLimit = 1.0;

// The plausibility question a criterion value raises, or null for none.
const char* CriterionQuestion(RecordMode mode, double x) {
    if (mode == RecordMode::Timer) {
        if (x < 5) {
            return "Значение таймера менее 5 секунд.\r\nЗаписать?";
        }
        if (x > 600) {
            return "Значение таймера более 10 минут.\r\nЗаписать?";
        }
    } else if (mode == RecordMode::Drift) {
        if (x < 0.1) {
            return "Значение дрейфа менее 0,1 мВ/мин.\r\nЗаписать?";
        }
        if (x > 10) {
            return "Значение дрейфа более 10 мВ/мин.\r\nЗаписать?";
        }
    }
    return nullptr;
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    });
}

constexpr ControlState kOff{false, true};
constexpr ControlState kOn{true, false};
constexpr ControlState kShown{true, true};  // enabled, read-only

}  // namespace

TitrationEntry::TitrationEntry(SharedState& state, SerialPort& port,
                               std::function<PortMap()> portMap, Prompter& prompter,
                               const Clock& clock, EntryWindow& window)
    : state_(state),
      port_(port),
      portMap_(std::move(portMap)),
      prompter_(prompter),
      clock_(clock),
      window_(window) {
    // Room for any reading, so that a tick's text never allocates.
    valueText_.reserve(64);
}

void TitrationEntry::Initialise() {
    additionPending_ = false;
    UpdateControls();
}

bool TitrationEntry::ReadsMeter() const {
    return Mode() == RecordMode::Instrument || HasCriterion();
}

bool TitrationEntry::HasCriterion() const {
    return Mode() == RecordMode::Timer || Mode() == RecordMode::Drift;
}

bool TitrationEntry::PendingPointIntact() const {
    const TitrationRecord& record = state_.record;
    return state_.recordIdentity == pendingRecord_ && record.pointCount == pendingIndex_ &&
           record.points[pendingIndex_].volume == pendingVolume_;
}

// A new or opened record replaced the one the addition was made for: its
// point is dropped rather than written into the other record.
void TitrationEntry::AbandonAddition() {
    additionPending_ = false;
    UpdateControls();
}

// The one place an addition changes the record: the new point's volume, and
// for the first point the start of recording.
void TitrationEntry::BeginPoint(double volume, const LocalTime& now) {
    TitrationRecord& record = state_.record;
    pendingRecord_ = state_.recordIdentity;
    pendingIndex_ = record.pointCount;
    pendingVolume_ = volume;
    record.points[pendingIndex_].volume = volume;
    if (pendingIndex_ == 0) {
        record.startTime = {now.year, now.month, now.day, now.hour, now.minute};
        record.startTimeKnown = 1;
    }
}

// The one place a point joins the record.
void TitrationEntry::AppendPoint(double value) {
    TitrationRecord& record = state_.record;
    record.points[record.pointCount].value = value;
    ++record.pointCount;
    RecordChanged(state_);
}

void TitrationEntry::AddTitrant() {
    TitrationRecord& record = state_.record;
    const int count = record.pointCount;
    if (additionPending_ || count < 0 || count >= kMaxPoints) {
        return;
    }
    const double x = ParseTypedNumber(additionText_);
    const double volume = count == 0 ? x : record.points[count - 1].volume + x;
    if (x < 0 || (x == 0 && count > 0) || !std::isfinite(volume)) {
        prompter_.Error(kErrorCaption, kBadVolume);
        return;
    }
    const LocalTime now = clock_.Now();
    BeginPoint(volume, now);
    ++additionSerial_;
    if (ReadsMeter()) {
        tickCount_ = 0;
        referenceTime_ = now.SecondsOfDay();
        failureStreak_ = 0;
        history_.Restart();
        readingSinceAddition_ = false;
        // Nothing of the previous point is shown as this one's reading.
        valueText_.clear();
        link_.emplace(port_, portMap_ ? portMap_() : PortMap());
    }
    additionPending_ = true;
    UpdateControls();
    lastAddition_ = x;
    EchoAddition();
}

void TitrationEntry::EchoAddition() {
    additionText_ = ShortNumberText(state_, lastAddition_, kAdditionDigits).view();
    additionEchoed_ = true;
}

void TitrationEntry::RecordPoint() {
    const int count = state_.record.pointCount;
    if (!additionPending_ || count < 0 || count >= kMaxPoints) {
        return;
    }
    if (!PendingPointIntact()) {
        AbandonAddition();
        return;
    }
    double value = 0.0;
    if (Mode() == RecordMode::Manual) {
        if (IsBlank(valueText_)) {
            prompter_.Error(kErrorCaption, kBadValue);
            return;
        }
        value = ParseTypedNumber(valueText_);
    } else {
        // Only a reading taken after the addition belongs to this point.
        if (!readingSinceAddition_) {
            return;
        }
        value = lastValue_;
        window_.Beep();
    }
    AppendPoint(value);
    additionPending_ = false;
    UpdateControls();
    RedrawViews(state_);
    window_.PointRecorded(count);
}

void TitrationEntry::OnAcquisitionTick() {
    if (!additionPending_ || !ReadsMeter() || !link_) {
        return;
    }
    if (!PendingPointIntact()) {
        AbandonAddition();
        return;
    }
    const int serial = additionSerial_;
    tickCount_ = std::min(tickCount_ + 1, kTickCountCap);
    const TickReading reading = ReadTick(*link_, state_.link, state_.record.quantity);
    if (reading.ValueValid()) {
        lastValue_ = reading.value;
        readingSinceAddition_ = true;
    }
    // The drift rule needs the EMF; the others only the record's own value,
    // so a pH record whose EMF cannot be read still records by time.
    const bool valid = reading.ValueValid() && (reading.EmfValid() || Mode() != RecordMode::Drift);
    if (!valid) {
        OnFailedTick(reading.Failure());
    } else {
        failureStreak_ = 0;
        int elapsed = clock_.Now().SecondsOfDay() - referenceTime_;
        if (elapsed < 0) {
            elapsed += kSecondsPerDay;
        }
        if (reading.EmfValid()) {
            history_.Add(elapsed, reading.emf);
        }
        if (Mode() == RecordMode::Timer && elapsed >= state_.acquisition.timerSeconds) {
            RecordPoint();
        } else if (Mode() == RecordMode::Drift && tickCount_ >= kFirstDriftTick) {
            ApplyDriftRule(serial);
        }
    }
    ShowReading();
}

void TitrationEntry::OnFailedTick(ResultCode failure) {
    ++failureStreak_;
    // One question at a time: ticks that come while it is open only count.
    if (failureStreak_ < 2 || questionOpen_) {
        return;
    }
    std::string text = Cp1251ToUtf8(ReadingFailureText(failure).view());
    text += kGoOn;
    const Answer answer = AskFromTick(kWarningCaption, text, QuestionIcon::Warning);
    failureStreak_ = 0;
    if (answer == Answer::No) {
        // The pending point, if any, is finished by typing its value.
        state_.acquisition.recordMode = RecordMode::Manual;
        UpdateControls();
    }
}

void TitrationEntry::ApplyDriftRule(int serial) {
    double drift = 0.0;
    const bool measured = history_.Drift(drift);
    if (measured && drift <= state_.acquisition.driftLimit) {
        RecordPoint();
        return;
    }
    if (tickCount_ % kDriftQuestionTicks != 0 || questionOpen_) {
        return;
    }
    FixedText<128> text;
    if (measured) {
        text.Append("Дрейф ");
        text.Append(ShortNumberText(state_, drift, kDriftDigits).view());
        text.Append(" мВ/мин.");
    } else {
        // No reading 30 s older than the newest: there is no figure to show,
        // but the user may still end the wait.
        text.Append("Дрейф за 30 с не измерен.");
    }
    text.Append(kRecordQuestion);
    const Answer answer = AskFromTick(kDriftCaption, text.view(), QuestionIcon::Question);
    // Recorded only while the same addition still waits: a tick during the
    // question may have recorded it already.
    if (answer == Answer::Yes && serial == additionSerial_) {
        RecordPoint();
    }
}

Answer TitrationEntry::AskFromTick(std::string_view caption, std::string_view text,
                                   QuestionIcon icon) {
    questionOpen_ = true;
    const Answer answer = prompter_.AskYesNo(caption, text, Answer::No, icon);
    questionOpen_ = false;
    return answer;
}

void TitrationEntry::ShowReading() {
    if (readingSinceAddition_) {
        valueText_ = ReadingText(state_, lastValue_).view();
    }
}

void TitrationEntry::RefreshNumbers() {
    if (HasCriterion()) {
        ShowCriterionValue();
    }
    if (additionEchoed_) {
        EchoAddition();
    }
    // A typed value stays as it was typed.
    if (Mode() != RecordMode::Manual && !valueText_.empty()) {
        ShowReading();
    }
}

void TitrationEntry::SelectRecordMode(int index) {
    state_.acquisition.recordMode = static_cast<RecordMode>(std::clamp(index, 0, 3));
    // A mode that has no usable value of its own gets the usual one.
    AcquisitionSettings& a = state_.acquisition;
    if (Mode() == RecordMode::Timer && !(a.timerSeconds > 0)) {
        a.timerSeconds = kDefaultTimerSeconds;
    } else if (Mode() == RecordMode::Drift && !(a.driftLimit > 0)) {
        a.driftLimit = kDefaultDriftLimit;
    }
    UpdateControls();
}

void TitrationEntry::CheckCriterionValue() {
    // The message boxes below take the focus from the box: that is no second check.
    if (!view_.criterionBox.enabled || checkingCriterion_) {
        return;
    }
    checkingCriterion_ = true;
    const double x = ParseTypedNumber(criterionText_);
    if (x <= 0) {
        prompter_.Error(kErrorCaption, kBadValue);
    } else {
        const char* question = CriterionQuestion(Mode(), x);
        if (question == nullptr ||
            prompter_.AskYesNo(kWarningCaption, question, Answer::No) == Answer::Yes) {
            if (Mode() == RecordMode::Timer) {
                state_.acquisition.timerSeconds = x;
            } else if (Mode() == RecordMode::Drift) {
                state_.acquisition.driftLimit = x;
            }
            criterionValue_ = x;
        }
    }
    ShowCriterionValue();
    checkingCriterion_ = false;
}

void TitrationEntry::ShowCriterionValue() {
    criterionText_.clear();
    if (criterionValue_ > 0) {
        criterionText_ = ShortNumberText(state_, criterionValue_, kCriterionDigits).view();
    }
}

void TitrationEntry::UpdateControls() {
    AcquisitionSettings& a = state_.acquisition;
    const int mode = static_cast<int>(a.recordMode);
    if (mode < 0 || mode > 3) {
        a.recordMode = RecordMode::Manual;
    }
    const bool timed = HasCriterion();
    if (Mode() == RecordMode::Timer) {
        criterionValue_ = a.timerSeconds;
    } else if (Mode() == RecordMode::Drift) {
        criterionValue_ = a.driftLimit;
    }
    if (timed) {
        ShowCriterionValue();
    } else {
        criterionText_.clear();
    }

    EntryView& v = view_;
    v.recordMode = static_cast<int>(Mode());
    const bool idle = !additionPending_;
    v.criterionList = idle ? kOn : kOff;
    v.criterionBox = idle && timed ? kOn : kOff;
    v.additionBox = idle ? kOn : kOff;
    v.addButton = idle ? kOn : kOff;
    if (idle) {
        v.valueBox = timed ? kShown : kOff;
    } else {
        v.valueBox = Mode() == RecordMode::Manual ? kOn : kShown;
    }
    v.recordButton =
        !idle && (Mode() == RecordMode::Manual || Mode() == RecordMode::Instrument) ? kOn : kOff;
    if (state_.record.pointCount >= kMaxPoints) {
        v.addButton.enabled = false;
        v.recordButton.enabled = false;
    }
    v.timerRunning = !idle && ReadsMeter();
    if (idle) {
        valueText_.clear();
    }
}

void TitrationEntry::SelectPoint(int row) {
    const int selected = row >= 0 && row < PointCount(state_.record) ? row : -1;
    if (selected != state_.record.selectedPoint) {
        state_.record.selectedPoint = selected;
        RedrawViews(state_);
    }
}

}  // namespace kelm
