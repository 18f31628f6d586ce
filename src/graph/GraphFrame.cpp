#include "graph/GraphFrame.h"

#include "core/Cp1251.h"
#include "core/Quantity.h"

namespace kelm {

namespace {

constexpr Cp1251Literal kEmfTitle("E, ЭДС");
constexpr Cp1251Literal kEmfDerivativeTitle("dE/dV");
constexpr Cp1251Literal kPhDerivativeTitle("dpH/dV");
constexpr Cp1251Literal kPxDerivativeTitle("dpX/dV");
constexpr Cp1251Literal kConductivityDerivativeTitle("dУЭП/dV");
constexpr Cp1251Literal kVolumeTitle("V, Объём");

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{150, 150, 150};

}  // namespace

std::string_view ValueAxisTitle(MeasuredQuantity quantity, ViewMode mode) {
    // The curve is titled with the quantity's name, EMF with its symbol too.
    if (mode == ViewMode::Curve) {
        return quantity == MeasuredQuantity::Emf ? kEmfTitle.view() : QuantityName(quantity);
    }
    switch (quantity) {
        case MeasuredQuantity::Emf:
            return kEmfDerivativeTitle;
        case MeasuredQuantity::Ph:
            return kPhDerivativeTitle;
        case MeasuredQuantity::Px:
            return kPxDerivativeTitle;
        case MeasuredQuantity::Conductivity:
            break;
    }
    return kConductivityDerivativeTitle;
}

int SizeClass(int n) {
    return n < 20 ? 0 : n < 100 ? 1 : 2;
}

PassStyle ScreenStyle(const SharedState& state, int width, int height) {
    const auto pen = [](PenStyle style, Rgb colour) { return Pen{style, 1, colour}; };
    return {
        .area = {width, height, 0},
        .pens = {pen(PenStyle::Solid, kBlack), pen(PenStyle::Dot, kGrey),
                 pen(PenStyle::Solid, ResolveColour(state, ColourRole::SourcePoints)),
                 pen(PenStyle::Solid, ResolveColour(state, ColourRole::InterpolatedCurve)),
                 pen(PenStyle::Solid, ResolveColour(state, ColourRole::EquivalencePointMarks))},
        .labelHalfHeight = 20,
        .pointLabelLeft = 0,
        .valueTitleLeft = 5,
        .valueTitleRight = 100,
        .valueTitleHalfHeight = 20,
        .valueTitleAlign = HAlign::Right,
        .volumeTitleHalfWidth = 40,
        .volumeTitleHeight = 20,
        .volumeLabelTop = 2,
        .volumeLabelBottom = 20,
        .endPointHalfWidth = 20,
        .markHalfWidth = 40,
        .labelGap = 4,
        .startTime = {2, 22, width - 2, 42},
        .description = {2, 2, width - 2, 22},
        .squareHalf = {3, 2, 1},
        .circleRadius = {4, 3, 2},
        .selectedOuterHalf = 2,
        .selectedInnerHalf = 1,
        .dotEnd = {0, 0},
    };
}

PassStyle PageStyle() {
    const Pen black{PenStyle::Solid, 4, kBlack};
    return {
        .area = {1600, 1200, 200},
        .pens = {black, Pen{PenStyle::Dot, 3, kGrey}, black, black, black},
        .labelHalfHeight = 200,
        .pointLabelLeft = 200,
        .valueTitleLeft = 200,
        .valueTitleRight = 1000,
        .valueTitleHalfHeight = 200,
        .valueTitleAlign = HAlign::Left,
        .volumeTitleHalfWidth = 400,
        .volumeTitleHeight = 100,
        .volumeLabelTop = 20,
        .volumeLabelBottom = 200,
        .endPointHalfWidth = 200,
        .markHalfWidth = 400,
        .labelGap = 10,
        .startTime = {220, 70, 1580, 120},
        .description = {220, 20, 1580, 70},
        .squareHalf = {6, 5, 4},
        .circleRadius = {7, 6, 4},
        .selectedOuterHalf = 4,
        .selectedInnerHalf = 3,
        .dotEnd = {1, -1},
    };
}

void FrameDrawer::Line(SurfacePoint from, SurfacePoint to) {
    surface_.MoveTo(from.x, from.y);
    surface_.LineTo(to.x, to.y);
}

void FrameDrawer::DataLine(DataPoint a, SurfacePoint pa, DataPoint b, SurfacePoint pb) {
    if (!zoomed_) {
        Line(pa, pb);
        return;
    }
    const DataPoint fromA = a;
    const DataPoint fromB = b;
    if (!ClipToPlottedRange(scale_, a, b)) {
        return;
    }
    // An end that was not cut keeps the position it was mapped to.
    Line(a.x == fromA.x && a.y == fromA.y ? pa : MapCurvePoint(scale_, a.x, a.y),
         b.x == fromB.x && b.y == fromB.y ? pb : MapCurvePoint(scale_, b.x, b.y));
}

Label FrameDrawer::ValueLabel(double value, int py, int left) const {
    const int h = style_.labelHalfHeight;
    return {ValueText(textState_, value),
            {left, py - h, scale_.x0 - 10, py + h},
            HAlign::Right,
            VAlign::Centre};
}

Label FrameDrawer::VolumeLabel(double volume, int px, int halfWidth) const {
    const int y = scale_.yBase;
    return {
        VolumeText(textState_, volume),
        {px - halfWidth, y + style_.volumeLabelTop, px + halfWidth, y + style_.volumeLabelBottom},
        HAlign::Centre,
        VAlign::Top};
}

Label FrameDrawer::ValueTitle(MeasuredQuantity quantity, ViewMode mode) const {
    const int hh = style_.valueTitleHalfHeight;
    Label title{
        {},
        {style_.valueTitleLeft, scale_.yAxisTop - hh, style_.valueTitleRight, scale_.yAxisTop + hh},
        style_.valueTitleAlign,
        VAlign::Centre};
    title.text.Append(ValueAxisTitle(quantity, mode));
    return title;
}

Label FrameDrawer::VolumeTitle() const {
    const int hw = style_.volumeTitleHalfWidth;
    Label title{{},
                {scale_.xAxisEnd - hw, scale_.yBase - style_.volumeTitleHeight,
                 scale_.xAxisEnd + hw, scale_.yBase},
                HAlign::Centre,
                VAlign::Top};
    title.text.Append(kVolumeTitle.view());
    return title;
}

void FrameDrawer::Draw(const Label& label) {
    surface_.DrawText(label.text.view(), label.box, label.h, label.v);
}

void FrameDrawer::ReferenceLines(const ValueGridLines& lines, std::bitset<kMaxGridLines> labelled) {
    if (lines.lineCount == 0) {
        return;
    }
    surface_.SelectPen(style_.pens.grid);
    for (int j = 0; j < lines.lineCount; ++j) {
        const double value = lines.lineValue[j];
        const int py = MapGridLine(scale_, value);
        Line({scale_.x0, py}, {scale_.xAxisEnd, py});
        if (labelled[j]) {
            Draw(ValueLabel(value, py, 0));
        }
    }
}

void FrameDrawer::Axes() {
    surface_.SelectPen(style_.pens.axis);
    Line({scale_.x0, scale_.yBase}, {scale_.xAxisEnd, scale_.yBase});
    Line({scale_.x0, scale_.yBase}, {scale_.x0, scale_.yAxisTop});
}

void FrameDrawer::ClaimTitles(LabelPlacer& placer, MeasuredQuantity quantity, ViewMode mode) {
    placer.Claim(surface_, ValueTitle(quantity, mode));
    placer.Claim(surface_, VolumeTitle());
}

void FrameDrawer::AxisTitles(MeasuredQuantity quantity, ViewMode mode) {
    Draw(ValueTitle(quantity, mode));
    Draw(VolumeTitle());
}

}  // namespace kelm
