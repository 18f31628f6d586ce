// kelmtool render, run as the user runs it: a result file in, an image or a
// page out, without a display.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

int Render(const TempDir& dir, std::vector<std::string> words) {
    words.insert(words.begin(), "render");
    return test::RunTool(KELMTOOL_PATH, words, dir.path()).status;
}

std::string ResultFile(int points, MeasuredQuantity quantity = MeasuredQuantity::Emf) {
    auto s = std::make_unique<SharedState>();
    NewRecord(*s);
    ApplyStartDefaults(*s);
    s->record.quantity = quantity;
    s->record.pointCount = points;
    for (int i = 0; i < points; ++i) {
        s->record.points[i] = {0.5 * i, 100.0 + 20.0 * i};
    }
    return SaveRecord(*s);
}

QImage LoadImage(const std::filesystem::path& path) {
    static int argc = 1;
    static char name[] = "render_command_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return QImage(QString::fromStdString(path.string()));
}

int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}

TEST(RenderCommand, WritesPngSvgAndPdf) {
    TempDir dir;
    WriteBytes(dir / "a.kel", ResultFile(12));
    const std::string in = (dir / "a.kel").string();

    ASSERT_EQ(Render(dir, {in, "-o", (dir / "a.png").string(), "--size", "640x480"}), 0);
    const QImage png = LoadImage(dir / "a.png");
    EXPECT_EQ(png.size(), QSize(640, 480));
    EXPECT_EQ(png.pixel(0, 479), qRgb(255, 255, 255));
    EXPECT_GT(DarkPixels(png), 1000);  // axes, labels, titles

    ASSERT_EQ(Render(dir, {in, "-o", (dir / "a.svg").string(), "--derivative"}), 0);
    const std::string svg = ReadBytes(dir / "a.svg");
    EXPECT_NE(svg.find("viewBox=\"0 0 800 600\""), std::string::npos);
    EXPECT_NE(svg.find("dE/dV"), std::string::npos);

    ASSERT_EQ(Render(dir, {in, "-o", (dir / "a.PDF").string(), "--process"}), 0);
    EXPECT_TRUE(ReadBytes(dir / "a.PDF").starts_with("%PDF"));
}

TEST(RenderCommand, AnEmptyRecordIsABlankImage) {
    TempDir dir;
    WriteBytes(dir / "empty.kel", ResultFile(0));
    ASSERT_EQ(Render(dir, {(dir / "empty.kel").string(), "-o", (dir / "e.png").string()}), 0);
    const QImage png = LoadImage(dir / "e.png");
    EXPECT_EQ(png.size(), QSize(800, 600));
    EXPECT_EQ(DarkPixels(png), 0);
}

TEST(RenderCommand, RefusesBadArgumentsAndKeepsAnExistingOutput) {
    TempDir dir;
    WriteBytes(dir / "a.kel", ResultFile(5));
    WriteBytes(dir / "old.png", "keep me");
    const std::string in = (dir / "a.kel").string();
    const std::string old = (dir / "old.png").string();
    EXPECT_EQ(Render(dir, {in, "-o", (dir / "a.bmp").string()}), 64);
    EXPECT_EQ(Render(dir, {in, "-o", old, "--size", "0x100"}), 64);
    EXPECT_EQ(Render(dir, {in, "-o", old, "--size", "100000x100"}), 64);
    EXPECT_EQ(Render(dir, {in, "-o", old, "--size", "12x"}), 64);
    EXPECT_EQ(Render(dir, {in}), 64);
    EXPECT_EQ(Render(dir, {(dir / "missing.kel").string(), "-o", old}), 74);
    WriteBytes(dir / "bad.kel", "not a result file");
    EXPECT_EQ(Render(dir, {(dir / "bad.kel").string(), "-o", old}), 65);
    EXPECT_EQ(ReadBytes(dir / "old.png"), "keep me");
}

// Pixels of exactly this colour.
int PixelsOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(RenderCommand, OverlaysSeveralFilesWithALegendOfTheirNames) {
    TempDir dir;
    WriteBytes(dir / "first.kel", ResultFile(12));
    WriteBytes(dir / "second.kel", ResultFile(6));
    const std::string first = (dir / "first.kel").string();
    const std::string second = (dir / "second.kel").string();

    ASSERT_EQ(Render(dir, {first, second, "--overlay", "-o", (dir / "o.png").string()}), 0);
    const QImage png = LoadImage(dir / "o.png");
    EXPECT_EQ(png.size(), QSize(800, 600));
    EXPECT_GT(PixelsOf(png, qRgb(31, 119, 180)), 200);  // the first curve and its swatch
    EXPECT_GT(PixelsOf(png, qRgb(214, 39, 40)), 100);   // the second

    ASSERT_EQ(Render(dir, {first, second, "--overlay", "-o", (dir / "curve.svg").string()}), 0);
    EXPECT_EQ(ReadBytes(dir / "curve.svg").find("dE/dV"), std::string::npos);
    ASSERT_EQ(Render(dir, {first, second, "--overlay", "--derivative", "--process", "-o",
                           (dir / "o.svg").string()}),
              0);
    const std::string svg = ReadBytes(dir / "o.svg");
    EXPECT_NE(svg.find("first.kel"), std::string::npos);  // the names, not the folders
    EXPECT_NE(svg.find("second.kel"), std::string::npos);
    EXPECT_EQ(svg.find(dir.path().string()), std::string::npos);
    EXPECT_NE(svg.find("dE/dV"), std::string::npos);

    ASSERT_EQ(Render(dir, {first, "--overlay", "-o", (dir / "o.pdf").string()}), 0);
    EXPECT_TRUE(ReadBytes(dir / "o.pdf").starts_with("%PDF"));
}

TEST(RenderCommand, RefusesOverlaysThatCannotBeDrawn) {
    TempDir dir;
    WriteBytes(dir / "emf.kel", ResultFile(5));
    WriteBytes(dir / "ph.kel", ResultFile(5, MeasuredQuantity::Ph));
    WriteBytes(dir / "old.png", "keep me");
    const std::string emf = (dir / "emf.kel").string();
    const std::string ph = (dir / "ph.kel").string();
    const std::string old = (dir / "old.png").string();
    EXPECT_EQ(Render(dir, {emf, ph, "-o", old}), 64);  // several files want --overlay
    EXPECT_EQ(Render(dir, {"--overlay", "-o", old}), 64);
    EXPECT_EQ(Render(dir, {emf, emf, "--overlay"}), 64);
    const std::vector<std::string> words = {"render", emf, ph, "--overlay", "-o", old};
    const test::ToolOutcome mixed = test::RunTool(KELMTOOL_PATH, words, dir.path());
    EXPECT_EQ(mixed.status, 65);
    EXPECT_NE(mixed.err.find("cannot overlay curves of different quantities"), std::string::npos);
    EXPECT_EQ(Render(dir, {emf, (dir / "missing.kel").string(), "--overlay", "-o", old}), 74);
    EXPECT_EQ(ReadBytes(dir / "old.png"), "keep me");
}

TEST(RenderCommand, DrawsTheVolumeRangeAskedFor) {
    // 12 points from 0 to 5.5 mL.
    TempDir dir;
    WriteBytes(dir / "a.kel", ResultFile(12));
    const std::string in = (dir / "a.kel").string();
    const auto svg = [&](std::vector<std::string> range) {
        std::vector<std::string> words = {in, "-o", (dir / "r.svg").string()};
        words.insert(words.end(), range.begin(), range.end());
        EXPECT_EQ(Render(dir, words), 0);
        return ReadBytes(dir / "r.svg");
    };
    const struct {
        std::vector<std::string> words;
        std::vector<std::string> labels;  // the volume axis's ends
        std::vector<std::string> absent;
    } rows[] = {
        {{}, {">0.<", ">5.5<"}, {">1.5<"}},  // the whole curve, as before
        {{"--range", "1.5:3"}, {">1.5<", ">3.<"}, {">5.5<"}},
        {{"--range", "1.5:"}, {">1.5<", ">5.5<"}, {}},
        {{"--range=:3"}, {">0.<", ">3.<"}, {">5.5<"}},
        {{"--range", "1.5:3", "--derivative"}, {">1.5<", ">3.<", "dE/dV"}, {}},
    };
    for (const auto& row : rows) {
        const std::string text = svg(row.words);
        for (const std::string& label : row.labels) {
            EXPECT_NE(text.find(label), std::string::npos) << label;
        }
        for (const std::string& label : row.absent) {
            EXPECT_EQ(text.find(label), std::string::npos) << label;
        }
    }
    // The page and the overlay take the range too.
    ASSERT_EQ(Render(dir, {in, "--range", "1:2", "-o", (dir / "r.pdf").string()}), 0);
    EXPECT_TRUE(ReadBytes(dir / "r.pdf").starts_with("%PDF"));
    ASSERT_EQ(
        Render(dir, {in, in, "--overlay", "--range", "1.5:3", "-o", (dir / "o.svg").string()}), 0);
    EXPECT_NE(ReadBytes(dir / "o.svg").find(">3.<"), std::string::npos);
}

TEST(RenderCommand, RefusesARangeThatIsNotOneOrHoldsNothing) {
    TempDir dir;
    WriteBytes(dir / "a.kel", ResultFile(12));
    WriteBytes(dir / "old.png", "keep me");
    const std::string in = (dir / "a.kel").string();
    const std::string old = (dir / "old.png").string();
    for (const char* bad : {"4.5", "3:1", "2:2", "-1:2", "a:b", "1,5:3", "1:2:3", "inf:", ":nan",
                            "", " 1:2", "1:2x"}) {
        const test::ToolOutcome outcome = test::RunTool(
            KELMTOOL_PATH, std::vector<std::string>{"render", in, "--range", bad, "-o", old},
            dir.path());
        EXPECT_EQ(outcome.status, 64) << bad;
        EXPECT_NE(outcome.err.find("--range takes FROM:TO"), std::string::npos) << bad;
    }
    // Without width once the open ends reach the curve (0 to 5.5 mL), or
    // narrower than the window zooms (0.00055 mL): every point on one line.
    const struct {
        const char* range;
        int status;
    } widths[] = {
        {":0", 64}, {"5.5:", 64}, {"3:3.0000000000000004", 64}, {"1:1.0005", 64}, {"1:1.0006", 0},
    };
    for (const auto& row : widths) {
        const test::ToolOutcome outcome =
            test::RunTool(KELMTOOL_PATH,
                          std::vector<std::string>{"render", in, "--range", row.range, "-o",
                                                   (dir / "narrow.png").string()},
                          dir.path());
        EXPECT_EQ(outcome.status, row.status) << row.range;
        EXPECT_EQ(outcome.err.find("is too narrow") != std::string::npos, row.status != 0)
            << row.range << ": " << outcome.err;
    }
    // Beyond the curve: nothing would be drawn, and the message says where it lies.
    const test::ToolOutcome beyond = test::RunTool(
        KELMTOOL_PATH, std::vector<std::string>{"render", in, "--range", "50:60", "-o", old},
        dir.path());
    EXPECT_EQ(beyond.status, 65);
    EXPECT_NE(beyond.err.find("nothing of the curve lies in --range 50:60"), std::string::npos);
    EXPECT_NE(beyond.err.find("runs from 0 to 5.5 mL"), std::string::npos) << beyond.err;
    EXPECT_EQ(ReadBytes(dir / "old.png"), "keep me");
}

}  // namespace
}  // namespace kelm
