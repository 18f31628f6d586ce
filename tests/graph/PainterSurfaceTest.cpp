#include "graph/PainterSurface.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "core/Cp1251.h"

namespace kelm {
namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "graph_qt_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

QImage WhiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// Dark pixels outside `box`, and whether any lies inside.
struct Ink {
    int outside = 0;
    int inside = 0;
};
Ink InkAround(const QImage& image, const QRect& box) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                (box.contains(x, y) ? ink.inside : ink.outside)++;
            }
        }
    }
    return ink;
}

constexpr double kTwoDotsPerUnit = 508.0;  // 0.1 mm = 2 device dots

TEST(PainterSurface, PageMapsTenthsOfMillimetresAndNegatesY) {
    EnsureApplication();
    QImage image = WhiteImage(400, 400);
    {
        QPainter painter(&image);
        PainterSurface page = PainterSurface::ForPage(painter, kTwoDotsPerUnit, 34);
        page.SelectPen({PenStyle::Solid, 1, {0, 0, 0}});  // 0.1 mm: two dots wide
        page.MoveTo(50, -100);
        page.LineTo(150, -100);
        page.Rectangle(20, -120, 60, -160);
    }
    // The line runs at device y 200 from x 100 to 300.
    EXPECT_FALSE(IsWhite(image, 200, 200));
    EXPECT_FALSE(IsWhite(image, 110, 199));
    EXPECT_TRUE(IsWhite(image, 200, 196));
    EXPECT_TRUE(IsWhite(image, 200, 204));
    EXPECT_TRUE(IsWhite(image, 90, 200));
    EXPECT_TRUE(IsWhite(image, 310, 200));
    // The rectangle spans device 40..120 by 240..320, outlined and filled white.
    EXPECT_FALSE(IsWhite(image, 80, 240));
    EXPECT_FALSE(IsWhite(image, 120, 280));
    EXPECT_TRUE(IsWhite(image, 80, 280));
    EXPECT_TRUE(IsWhite(image, 80, 330));
}

TEST(PainterSurface, PageTextIsUprightInItsBoxAndDecodedFromCodePage1251) {
    EnsureApplication();
    const std::string text = Utf8ToCp1251("Точки ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ");
    QImage image = WhiteImage(600, 300);
    {
        QPainter painter(&image);
        PainterSurface page = PainterSurface::ForPage(painter, kTwoDotsPerUnit, 34);
        page.DrawText(text, {20, -20, 250, -70}, HAlign::Left, VAlign::Top);
    }
    // The same text drawn directly, upright, in the box the mapping gives.
    QImage expected = WhiteImage(600, 300);
    const QRect box(40, 40, 460, 100);
    {
        QPainter painter(&expected);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(68);
        painter.setFont(font);
        painter.setClipRect(box);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QStringLiteral("Точки ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ"));
    }
    EXPECT_EQ(image, expected);
    const Ink ink = InkAround(image, box);
    EXPECT_GT(ink.inside, 0);
    EXPECT_EQ(ink.outside, 0);  // the long text is clipped at the box
}

TEST(PainterSurface, ScreenLineLeavesItsEndPointUnpainted) {
    EnsureApplication();
    QImage image = WhiteImage(40, 40);
    {
        QPainter painter(&image);
        PainterSurface screen = PainterSurface::ForScreen(painter);
        screen.SelectPen({PenStyle::Solid, 1, {0, 0, 0}});
        screen.MoveTo(10, 10);
        screen.LineTo(20, 10);
        screen.LineTo(20, 30);
    }
    EXPECT_FALSE(IsWhite(image, 10, 10));
    EXPECT_FALSE(IsWhite(image, 19, 10));
    EXPECT_FALSE(IsWhite(image, 20, 10));  // the start of the second line
    EXPECT_FALSE(IsWhite(image, 20, 29));
    EXPECT_TRUE(IsWhite(image, 20, 30));
    EXPECT_TRUE(IsWhite(image, 21, 10));
}

// Right and bottom coordinates are outside the shape: Rectangle(9, 9, 11, 11)
// paints 2 x 2 pixels, a square of half-size 3 paints 6 x 6.
TEST(PainterSurface, ScreenShapesExcludeTheirRightAndBottomEdges) {
    EnsureApplication();
    struct Case {
        QRect shape;  // left, top, right, bottom as the drawing passes them
        bool ellipse;
    };
    for (const Case& c : {Case{QRect(QPoint(9, 9), QPoint(11, 11)), false},
                          Case{QRect(QPoint(17, 17), QPoint(23, 23)), false},
                          Case{QRect(QPoint(5, 8), QPoint(30, 20)), false},
                          Case{QRect(QPoint(5, 8), QPoint(30, 20)), true}}) {
        QImage image = WhiteImage(40, 40);
        {
            QPainter painter(&image);
            PainterSurface screen = PainterSurface::ForScreen(painter);
            screen.SelectPen({PenStyle::Solid, 1, {0, 0, 0}});
            const QRect& r = c.shape;
            if (c.ellipse) {
                screen.Ellipse(r.left(), r.top(), r.right(), r.bottom());
            } else {
                screen.Rectangle(r.left(), r.top(), r.right(), r.bottom());
            }
        }
        // The painted pixels: left..right-1, top..bottom-1, and every edge touched.
        const QRect painted(QPoint(c.shape.left(), c.shape.top()),
                            QPoint(c.shape.right() - 1, c.shape.bottom() - 1));
        const Ink ink = InkAround(image, painted);
        EXPECT_EQ(ink.outside, 0) << c.shape.left() << "," << c.shape.top();
        int minX = 40, minY = 40, maxX = -1, maxY = -1;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                if (!IsWhite(image, x, y)) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
            }
        }
        EXPECT_EQ(QRect(QPoint(minX, minY), QPoint(maxX, maxY)), painted);
    }
}

TEST(PainterSurface, ScreenTextIsBlackWhateverPenIsCurrent) {
    EnsureApplication();
    QImage image = WhiteImage(200, 100);
    {
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(60);
        painter.setFont(font);
        PainterSurface screen = PainterSurface::ForScreen(painter);
        screen.SelectPen({PenStyle::Dot, 1, {150, 150, 150}});
        screen.DrawText("H", {0, 0, 200, 100}, HAlign::Centre, VAlign::Centre);
    }
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    EXPECT_EQ(darkest, 0);
}

}  // namespace
}  // namespace kelm
