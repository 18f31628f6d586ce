#include "core/SharedState.h"

#include <algorithm>

namespace kelm {

namespace {

constexpr int kClearedGridEntries = 510;  // more than any grid uses

int RoleIndex(ColourRole role) {
    return static_cast<int>(role);
}

}  // namespace

Rgb BuiltInColour(ColourRole role) {
    switch (role) {
        case ColourRole::SourcePoints:
            return {50, 100, 200};
        case ColourRole::InterpolatedCurve:
            return {50, 100, 50};
        case ColourRole::EquivalencePointMarks:
            return {255, 0, 0};
    }
    return {0, 0, 0};
}

bool NewRecord(SharedState& state) {
    auto& colours = state.display.colours;
    for (int k = 0; k < kRecordColourSlots; ++k) {
        colours[k] = colours[k + kRecordColourSlots];
    }
    state.record.pointCount = 0;
    state.processing.interpolationPointCount = 0;
    state.curve.equivalencePointCount = 0;
    state.curve.evaluation = {};
    state.record.points.fill(CurvePoint{});
    std::fill_n(state.curve.gridVolume.begin(), kClearedGridEntries, 0.0);
    std::fill_n(state.curve.interpolatedValue.begin(), kClearedGridEntries, 0.0);
    std::fill_n(state.curve.smoothedValue.begin(), kClearedGridEntries, 0.0);
    state.record.startTimeKnown = 0;
    state.record.description.fill('\0');
    state.processing.autoPointCount = 1;
    SetName(state.notes.result.sampleName, {});
    state.notes.result.sampleAmount = 0.0;
    state.notes.result.standardMass = 0.0;
    ++state.recordIdentity;
    return true;
}

Rgb ResolveColour(const SharedState& state, ColourRole role) {
    const int k = RoleIndex(role);
    if (k < 0 || k >= kRecordColourSlots) {
        return BuiltInColour(role);
    }
    for (const ColourEntry& entry :
         {state.display.colours[k], state.display.colours[k + kRecordColourSlots]}) {
        if (entry.chosen != 0) {
            return {entry.red, entry.green, entry.blue};
        }
    }
    return BuiltInColour(role);
}

void ChooseColour(SharedState& state, ColourRole role, Rgb rgb) {
    const int k = RoleIndex(role);
    if (k < 0 || k >= kRecordColourSlots) {
        return;
    }
    for (ColourEntry* entry :
         {&state.display.colours[k], &state.display.colours[k + kRecordColourSlots]}) {
        entry->red = rgb.red;
        entry->green = rgb.green;
        entry->blue = rgb.blue;
        entry->chosen = 1;
    }
    RedrawViews(state);
}

void RedrawViews(SharedState& state) {
    if (state.redrawViews) {
        state.redrawViews();
    }
}

void RecordChanged(SharedState& state) {
    if (state.recordChanged) {
        state.recordChanged();
    }
}

std::int32_t QuantityCodeR(MeasuredQuantity quantity) {
    switch (quantity) {
        case MeasuredQuantity::Emf:
            return 16;
        case MeasuredQuantity::Ph:
        case MeasuredQuantity::Px:
            return 48;
        case MeasuredQuantity::Conductivity:
            return 64;
    }
    return 16;
}

void SetChannel(LinkSettings& link, std::int32_t channel) {
    link.channel = channel;
    if (channel >= 0 && channel <= 9) {
        link.codeZ = 15 + std::max(channel, 1);
    }
}

void ApplyStartDefaults(SharedState& state) {
    state.entryDialogCreated = false;
    state.link.comPort = 1;
    state.link.networkNumber = 0;
    SetChannel(state.link, 1);
    state.link.codeR = QuantityCodeR(state.record.quantity);
    state.entryLayout.layoutSaved = 0;
    state.curve.curveProcessed = 0;
    state.display.viewMode = ViewMode::Curve;
    for (ColourRole role : {ColourRole::SourcePoints, ColourRole::InterpolatedCurve,
                            ColourRole::EquivalencePointMarks}) {
        const Rgb rgb = BuiltInColour(role);
        ColourEntry& slot = state.display.colours[RoleIndex(role) + kRecordColourSlots];
        slot = {rgb.red, rgb.green, rgb.blue, 1};
    }
}

int PointCount(const TitrationRecord& record) {
    return std::clamp<int>(record.pointCount, 0, kMaxPoints);
}

std::string_view DescriptionView(const TitrationRecord& record) {
    const auto& d = record.description;
    const auto end = std::find(d.begin(), d.end(), '\0');
    return {d.data(), static_cast<std::size_t>(end - d.begin())};
}

}  // namespace kelm
