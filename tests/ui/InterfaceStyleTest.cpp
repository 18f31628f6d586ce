// Scroll bars read the right way round: the thumb is the dark part, where the
// shown text is.
#include <QImage>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

#include "UiTestSupport.h"
#include "ui/InterfaceStyle.h"

namespace kelm::test {
namespace {

int Lightness(const QImage& image, int y) {
    return qGray(image.pixel(image.width() / 2, y));
}

TEST(InterfaceStyle, TheScrollBarThumbIsDarkerThanItsGrooveAtEitherEnd) {
    const std::unique_ptr<QStyle> style(ClearScrollBarStyle(QStyleFactory::create("Fusion")));
    QScrollBar bar(Qt::Vertical);
    bar.setStyle(style.get());
    bar.setRange(0, 100);
    bar.setPageStep(50);  // the thumb is a third of the track
    bar.resize(16, 216);

    bar.setValue(0);
    QImage top = bar.grab().toImage();
    // Just below the upper arrow is the thumb, just above the lower one the groove.
    EXPECT_LT(Lightness(top, 40), Lightness(top, 180));

    bar.setValue(100);
    QImage bottom = bar.grab().toImage();
    EXPECT_LT(Lightness(bottom, 180), Lightness(bottom, 40));
}

}  // namespace
}  // namespace kelm::test
