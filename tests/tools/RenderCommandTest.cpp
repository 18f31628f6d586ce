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

std::string ResultFile(int points) {
    auto s = std::make_unique<SharedState>();
    NewRecord(*s);
    ApplyStartDefaults(*s);
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

}  // namespace
}  // namespace kelm
