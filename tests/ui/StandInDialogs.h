// Work dialogs that stand in for the real ones in the shell's tests: they
// count what the shell and the processing command ask of them.
#pragma once

#include <string>
#include <vector>

#include "core/SharedState.h"
#include "ui/CWorkDlg.h"
#include "ui/DialogHost.h"

namespace kelm::test {

class StandInDlg final : public CWorkDlg {
public:
    explicit StandInDlg(QWidget* owner) : CWorkDlg(owner) {}
    void ShownByCommand() override { ++shownByCommand; }
    void SeparatorChanged() override { ++separatorChanges; }
    int shownByCommand = 0;
    int separatorChanges = 0;
};

class StandInProcessingDlg final : public CProcessingDlgBase {
public:
    StandInProcessingDlg(const SharedState& state, std::vector<std::string>& events, QWidget* owner)
        : CProcessingDlgBase(owner), state_(state), events_(events) {}
    // The grid size as each refresh found it.
    void RefreshPointCount() override {
        refreshed.push_back(state_.processing.interpolationPointCount);
        events_.push_back("refresh");
    }
    void SeparatorChanged() override { ++separatorChanges; }
    std::vector<int> refreshed;
    int separatorChanges = 0;

private:
    const SharedState& state_;
    std::vector<std::string>& events_;
};

class StandInResultsDlg final : public CResultsDlgBase {
public:
    StandInResultsDlg(const SharedState& state, std::vector<std::string>& events, QWidget* owner)
        : CResultsDlgBase(owner), state_(state), events_(events) {}
    void ShownByCommand() override { FillReport(ReportMode::EquivalencePoints); }
    void SeparatorChanged() override { ++separatorChanges; }
    void FillReport(ReportMode mode) override {
        fills.push_back(mode);
        events_.push_back("fill");
        // What the report would see: the equivalence points of the run.
        pointsSeen.push_back(state_.curve.equivalencePointCount);
        visibleWhenFilled.push_back(isVisible());
    }
    std::vector<ReportMode> fills;
    std::vector<int> pointsSeen;
    std::vector<bool> visibleWhenFilled;
    int separatorChanges = 0;

private:
    const SharedState& state_;
    std::vector<std::string>& events_;
};

// Factories for all three work dialogs that remember what they made; the
// dialogs log into `events`.
struct StandIns {
    explicit StandIns(std::vector<std::string>& log) : events(log) {}
    std::vector<std::string>& events;
    StandInDlg* entry = nullptr;
    StandInProcessingDlg* processing = nullptr;
    StandInResultsDlg* results = nullptr;
    int made = 0;

    DialogFactories Factories(const SharedState& state) {
        DialogFactories f;
        f.entry = [this](QWidget* owner) {
            ++made;
            entry = new StandInDlg(owner);
            entry->setObjectName("entry");
            return entry;
        };
        f.processing = [this, &state](QWidget* owner) {
            ++made;
            processing = new StandInProcessingDlg(state, events, owner);
            processing->setObjectName("processing");
            return processing;
        };
        f.results = [this, &state](QWidget* owner) {
            ++made;
            results = new StandInResultsDlg(state, events, owner);
            results->setObjectName("results");
            return results;
        };
        return f;
    }
};

}  // namespace kelm::test
