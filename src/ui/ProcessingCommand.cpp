#include "ui/ProcessingCommand.h"

#include "core/SharedState.h"
#include "processing/Processing.h"
#include "ui/DialogHost.h"

namespace kelm {

ProcessingCommand::ProcessingCommand(SharedState& state, DialogHost& host,
                                     PrompterFactory makePrompter)
    : state_(state), host_(host), makePrompter_(std::move(makePrompter)) {}

int ProcessingCommand::RunProcessing(QWidget* owner) {
    const int result = kelm::RunProcessing(state_);
    host_.RecordReplaced();
    if (result == kTooFewPoints) {
        makePrompter_(owner)->Inform(kProcessingMessageCaption, kTooFewPointsMessage);
        return result;
    }
    // The grid size is settled by now, found point or not, and the record
    // keeps it.
    RecordChanged(state_);
    if (CProcessingDlgBase* processing = host_.Processing()) {
        processing->RefreshPointCount();
    }
    if (result == kNoPointFound) {
        makePrompter_(owner)->Inform(kProcessingMessageCaption, kNoPointFoundMessage);
        return result;
    }
    RedrawViews(state_);
    if (CResultsDlgBase* results = host_.ShowResults()) {
        results->FillReport(ReportMode::EquivalencePoints);
    }
    return result;
}

void ProcessingCommand::RequestProcessing(QWidget* requester) {
    if (PointCount(state_.record) < 3) {
        return;
    }
    CWorkDlg* entry = host_.ShowEntry();
    RunProcessing(entry != nullptr ? entry : requester);
}

}  // namespace kelm
