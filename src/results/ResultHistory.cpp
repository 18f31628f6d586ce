#include "results/ResultHistory.h"

#include "core/Cp1251.h"
#include "processing/EvaluationNotice.h"
#include "results/RecordResults.h"
#include "results/ResultUnits.h"

namespace kelm {

std::string StoredFilePath(const std::filesystem::path& file) {
    if (file.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    return (error ? file : absolute).lexically_normal().string();
}

std::string MethodText(const SharedState& state) {
    const ProcessingSettings& p = state.processing;
    std::string text =
        p.criterion == EndPointCriterion::GivenValue ? "criterion=end-value" : "criterion=extremum";
    if (p.criterion == EndPointCriterion::GivenValue) {
        const double end =
            state.record.quantity == MeasuredQuantity::Emf ? p.endValueEmf : p.endValuePh;
        text += " end-value=" + ResultNumberText(end, false);
    }
    text += p.interpolationKind == InterpolationKind::Linear ? " interpolation=linear"
                                                             : " interpolation=cubic";
    text += " grid=" + std::to_string(p.interpolationPointCount);
    if (p.autoPointCount == 1) {
        text += "(auto)";
    }
    text +=
        p.filterKind == FilterKind::MovingAverage ? " filter=moving-average" : " filter=polynomial";
    text += " strength=" + std::to_string(p.filterStrength);
    // The evaluation only where it differs from the default, as kelmtool's options write it.
    const EvaluationSettings& e = state.notes.evaluation;
    if (e.HasWindow()) {
        text += " window=" + WindowOptionText(e);
    }
    if (e.choice != PointChoice::All) {
        text += " select=" + SelectOptionText(e);
    }
    return text;
}

std::vector<HistoryEntry> HistoryEntries(const SharedState& state,
                                         const std::filesystem::path& file,
                                         const std::string& date) {
    std::vector<HistoryEntry> entries;
    if (!HasResultData(state)) {
        return entries;
    }
    const ResultSettings& s = state.notes.result;
    const std::string method = MethodText(state);
    const std::string path = StoredFilePath(file);
    const std::string unit =
        s.titerDetermination ? std::string("titer") : std::string(UnitInfo(s.unit).toolName);
    for (const PointResult& r : ComputePointResults(state)) {
        if (!r.outcome.Ok()) {
            continue;
        }
        entries.push_back({date, path, Cp1251ToUtf8(NameView(s.sampleName)), r.point, r.volume,
                           r.outcome.value, unit, Cp1251ToUtf8(NameView(s.titrantName)),
                           s.titerDetermination ? r.outcome.value : s.titer, method});
    }
    return entries;
}

StoreStatus EnterSavedResults(Store& store, const SharedState& state,
                              const std::filesystem::path& file) {
    const std::vector<HistoryEntry> entries = HistoryEntries(state, file, StoreDateNow());
    return entries.empty() ? StoreStatus{} : store.AddResults(entries);
}

}  // namespace kelm
