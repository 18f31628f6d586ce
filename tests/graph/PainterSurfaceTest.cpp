#include "graph/PainterSurface.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <sstream>
#include <string>

#include "core/Cp1251.h"
#include "graph/LabelPlacer.h"

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

// The darkest pixel off the image's edge.
QRgb DarkestInside(const QImage& image) {
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            if (qGray(image.pixel(x, y)) < qGray(darkest)) {
                darkest = image.pixel(x, y);
            }
        }
    }
    return darkest;
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

// Lines and squares are held back and drawn in batches; what comes later
// still lies over what came before, and nothing is lost at the end. Each
// row's drawing: "r" and "b" select a red or blue pen, "m x y" moves, "l x y"
// draws a line, "s l t r b" a square (white inside), "t" writes "HH".
TEST(PainterSurface, BatchedLinesSquaresAndTextsKeepTheirOrder) {
    EnsureApplication();
    const struct {
        const char* drawing;
        QPoint at;
        QRgb colour;
    } rows[] = {
        {"r m 0 10 l 30 10 b s 5 5 16 16", {8, 10}, qRgb(255, 255, 255)},  // square over line
        {"b s 5 5 16 16 s 20 5 26 16 m 0 10 l 30 10", {8, 10}, qRgb(0, 0, 255)},
        {"r m 0 20 l 10 20 m 10 20 l 10 35", {10, 30}, qRgb(255, 0, 0)},     // joined, at the end
        {"r m 0 20 l 10 20 m 30 0 l 30 35", {20, 20}, qRgb(255, 255, 255)},  // not joined
        {"r s 0 0 39 39 s 0 0 39 39 t", {0, 0}, qRgb(255, 0, 0)},
    };
    for (const auto& row : rows) {
        QImage image = WhiteImage(40, 40);
        {
            QPainter painter(&image);
            QFont font = painter.font();
            font.setPixelSize(30);
            painter.setFont(font);
            PainterSurface screen = PainterSurface::ForScreen(painter);
            std::istringstream words(row.drawing);
            for (std::string w; words >> w;) {
                int a = 0, b = 0, c = 0, d = 0;
                if (w == "r" || w == "b") {
                    const Rgb colour = w == "r" ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
                    screen.SelectPen({PenStyle::Solid, 1, colour});
                } else if (w == "m" && words >> a >> b) {
                    screen.MoveTo(a, b);
                } else if (w == "l" && words >> a >> b) {
                    screen.LineTo(a, b);
                } else if (w == "s" && words >> a >> b >> c >> d) {
                    // More than one batch of them.
                    for (int i = 0; i < 600; ++i) {
                        screen.Rectangle(a, b, c, d);
                    }
                } else if (w == "t") {
                    screen.DrawText("HH", {0, 0, 40, 40}, HAlign::Centre, VAlign::Centre);
                }
            }
        }
        EXPECT_EQ(image.pixel(row.at), row.colour) << row.drawing;
        if (std::string(row.drawing).ends_with(" t")) {
            // The text lies over the squares' white.
            EXPECT_LT(qGray(DarkestInside(image)), 50) << row.drawing;
        }
    }
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

// The box around every dark pixel.
QRect DarkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

TEST(PainterSurface, MeasuredInkIsWhereTheTextIsDrawn) {
    EnsureApplication();
    const struct {
        bool page;
        const char* text;
        HAlign h;
        VAlign v;
    } rows[] = {
        {false, "0.16", HAlign::Left, VAlign::Top},
        {false, "V, Объём", HAlign::Right, VAlign::Centre},
        {true, "-123.45", HAlign::Centre, VAlign::Top},
    };
    for (const auto& row : rows) {
        QImage image = WhiteImage(500, 200);
        // A box well inside the image, in the surface's units, y down.
        const TextRect box{20, 20, 220, 80};
        Label label{{}, box, row.h, row.v};
        label.text.Append(Utf8ToCp1251(row.text));
        TextRect ink;
        {
            QPainter painter(&image);
            QFont font = painter.font();
            font.setPixelSize(24);
            painter.setFont(font);
            PainterSurface surface = row.page
                                         ? PainterSurface::ForPage(painter, kTwoDotsPerUnit, 12)
                                         : PainterSurface::ForScreen(painter);
            const int scale = row.page ? 2 : 1;
            ink = InkOf(label, surface.MeasureText(label.text.view()));
            // The page takes y upwards: the box is drawn negated.
            const TextRect drawn =
                row.page ? TextRect{box.left, -box.top, box.right, -box.bottom} : box;
            surface.DrawText(label.text.view(), drawn, row.h, row.v);
            ink = {ink.left * scale, ink.top * scale, ink.right * scale, ink.bottom * scale};
        }
        const QRect dark = DarkBox(image);
        ASSERT_FALSE(dark.isNull()) << row.text;
        // Every dark pixel lies in the measured ink, give or take a pixel of
        // antialiasing, and the ink is no wider than the text by much.
        EXPECT_GE(dark.left(), ink.left - 1) << row.text;
        EXPECT_LE(dark.right(), ink.right) << row.text;
        EXPECT_GE(dark.top(), ink.top - 1) << row.text;
        EXPECT_LE(dark.bottom(), ink.bottom) << row.text;
        EXPECT_LE(ink.right - ink.left, dark.width() + 8) << row.text;
        EXPECT_LE(ink.bottom - ink.top, dark.height() + 4) << row.text;
    }
}

}  // namespace
}  // namespace kelm
