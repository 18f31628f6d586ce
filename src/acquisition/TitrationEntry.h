// The point-entry logic behind the entry window: additions of titrant, the
// recording of each point's value (typed, or read from the meter once a
// second and taken by the user, after a set time or once the EMF drift is
// low enough), the failure and drift questions, and the state of every
// control as one plain view the window paints.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "acquisition/Clock.h"
#include "acquisition/DriftHistory.h"
#include "core/Prompter.h"
#include "core/SharedState.h"
#include "link/InstrumentLink.h"

namespace kelm {

inline constexpr int kTickPeriodMs = 1000;
inline constexpr int kTickCountCap = 1'000'000;
inline constexpr int kDriftQuestionTicks = 300;  // five minutes of ticks
inline constexpr int kFirstDriftTick = 30;

struct ControlState {
    bool enabled = false;
    bool readOnly = true;  // edit boxes only
    friend bool operator==(const ControlState&, const ControlState&) = default;
};

// What the window shows, besides the texts of the boxes.
struct EntryView {
    int recordMode = 0;  // the entry the criterion list shows
    ControlState criterionList;
    ControlState criterionBox;
    ControlState additionBox;
    ControlState addButton;
    ControlState valueBox;
    ControlState recordButton;
    // The 1 s tick runs: an addition awaits its value from the meter.
    bool timerRunning = false;
};

// What the logic asks of its window beyond painting the view.
class EntryWindow {
public:
    virtual ~EntryWindow() = default;
    // Point `index` has been appended and the graph redrawn: list it.
    virtual void PointRecorded(int index) = 0;
    // The information beep of a point taken from the meter.
    virtual void Beep() = 0;
};

class TitrationEntry {
public:
    // The meter is reached through `port`, on the device that `portMap` names
    // for the link's COM port; the map is asked again at every addition, so a
    // changed kelm.ports counts from the next point on.
    TitrationEntry(SharedState& state, SerialPort& port, std::function<PortMap()> portMap,
                   Prompter& prompter, const Clock& clock, EntryWindow& window);

    // The window is made: no addition is pending.
    void Initialise();

    // "Добавка титранта": stores the volume of the next point.
    void AddTitrant();
    // "Запись точки", and the timer and drift rules: stores the value.
    void RecordPoint();
    // Every second while an addition awaits its value from the meter.
    void OnAcquisitionTick();
    // A choice in the criterion list.
    void SelectRecordMode(int index);
    // The criterion box is left.
    void CheckCriterionValue();
    // Brings the view and the texts in line with the state.
    void UpdateControls();
    // The list's selection: a row, or -1 for none.
    void SelectPoint(int row);
    // After a change of the decimal separator: the criterion value, the
    // addition as the box repeats it and the reading shown are written anew.
    void RefreshNumbers();

    // The texts of the three boxes (UTF-8): set as the user edits them, read
    // back after every call.
    void SetAdditionText(std::string_view text) {
        additionText_ = text;
        additionEchoed_ = false;
    }
    void SetCriterionText(std::string_view text) { criterionText_ = text; }
    void SetValueText(std::string_view text) { valueText_ = text; }
    const std::string& AdditionText() const { return additionText_; }
    const std::string& CriterionText() const { return criterionText_; }
    const std::string& ValueText() const { return valueText_; }

    const EntryView& View() const { return view_; }
    bool AdditionPending() const { return additionPending_; }
    int TickCount() const { return tickCount_; }
    int FailureStreak() const { return failureStreak_; }

private:
    RecordMode Mode() const { return state_.acquisition.recordMode; }
    bool ReadsMeter() const;
    bool HasCriterion() const;  // timer or drift
    bool PendingPointIntact() const;
    void AbandonAddition();
    void BeginPoint(double volume, const LocalTime& now);
    void AppendPoint(double value);
    void OnFailedTick(ResultCode failure);
    void ApplyDriftRule(int serial);
    Answer AskFromTick(std::string_view caption, std::string_view text, QuestionIcon icon);
    void EchoAddition();
    void ShowReading();
    void ShowCriterionValue();

    SharedState& state_;
    SerialPort& port_;
    std::function<PortMap()> portMap_;
    Prompter& prompter_;
    const Clock& clock_;
    EntryWindow& window_;
    std::optional<InstrumentLink> link_;

    bool additionPending_ = false;
    int additionSerial_ = 0;  // counts additions, so an old question records nothing new
    // The record the addition was made in, its point and that point's volume:
    // a record that replaced it meanwhile is never written into.
    std::uint32_t pendingRecord_ = 0;
    int pendingIndex_ = 0;
    double pendingVolume_ = 0.0;
    double criterionValue_ = 0.0;
    int tickCount_ = 0;
    int referenceTime_ = 0;  // seconds of the day at the addition
    DriftHistory history_;
    double lastValue_ = 0.0;             // the latest reading of the record's quantity
    bool readingSinceAddition_ = false;  // lastValue_ was read after the addition
    int failureStreak_ = 0;
    bool questionOpen_ = false;  // a tick's question waits for the user
    bool checkingCriterion_ = false;
    std::string additionText_;
    double lastAddition_ = 0.0;    // the addition the box repeats
    bool additionEchoed_ = false;  // the box holds that repetition, not the user's text
    std::string criterionText_;
    std::string valueText_;
    EntryView view_;
};

}  // namespace kelm
