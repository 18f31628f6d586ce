#include "ui/InterfaceStyle.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionSlider>

namespace kelm {

namespace {

class ClearScrollBars final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || bar == nullptr) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        // Groove and arrows as the base style has them, then the thumb alone
        // from the palette's mid tone, which is darker than the groove.
        QStyleOptionSlider rest(*bar);
        rest.subControls &= ~SC_ScrollBarSlider;
        QProxyStyle::drawComplexControl(control, &rest, painter, widget);
        if (bar->subControls & SC_ScrollBarSlider) {
            QStyleOptionSlider thumb(*bar);
            thumb.subControls = SC_ScrollBarSlider;
            for (const QPalette::ColorGroup group :
                 {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                thumb.palette.setColor(group, QPalette::Button,
                                       bar->palette.color(group, QPalette::Mid));
            }
            QProxyStyle::drawComplexControl(control, &thumb, painter, widget);
        }
    }
};

}  // namespace

QStyle* ClearScrollBarStyle(QStyle* base) {
    return new ClearScrollBars(base);
}

void ApplyInterfaceStyle(QApplication& app) {
    if (app.style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {
        QApplication::setStyle(
            ClearScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    }
}

}  // namespace kelm
