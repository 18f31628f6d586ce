// The printed page: the same drawing reaches a PDF file; a print request with
// no printer to print on fails with a message instead of waiting.
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include "UiTestSupport.h"
#include "ui/CKelmDoc.h"
#include "ui/GraphPrinting.h"

namespace kelm::test {
namespace {

class Printing : public UiTest {
protected:
    Printing() {
        NewRecord(state_);
        state_.record.pointCount = 20;
        for (int i = 0; i < 20; ++i) {
            state_.record.points[i] = {0.5 * i, 200.0 + 15.0 * i};
        }
    }

    SharedState state_;
    ScriptedPrompter prompter_;
};

TEST_F(Printing, APageGoesToAPdfFile) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("page.pdf"));
    ASSERT_TRUE(PrintPage(state_, printer));
    const std::string pdf = ReadFile(Path("page.pdf"));
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);  // exactly one page
}

// The PDF goes through the one writer: over a link, the link stays and the
// file it names gets the page.
TEST_F(Printing, APdfOverALinkKeepsTheLink) {
    WriteFile(Path("old.pdf"), "old");
    ASSERT_TRUE(QFile::link(Path("old.pdf"), Path("page.pdf")));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("page.pdf"));
    ASSERT_TRUE(PrintPage(state_, printer));
    EXPECT_TRUE(QFileInfo(Path("page.pdf")).isSymLink());
    EXPECT_EQ(ReadFile(Path("old.pdf")).substr(0, 5), "%PDF-");
}

TEST_F(Printing, APdfThatCannotBeWrittenIsReported) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("no-such-folder/page.pdf"));
    EXPECT_FALSE(PrintPage(state_, printer));
}

TEST_F(Printing, AnUnknownPrinterIsNamedInTheMessage) {
    EXPECT_FALSE(PrintWithoutDialog(state_, "kelm-test-absent-printer", prompter_));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].caption, "Kelm");
    EXPECT_EQ(prompter_.messages[0].text, "Принтер «kelm-test-absent-printer» не найден.");
}

TEST_F(Printing, WithoutADefaultPrinterThePrintRequestFailsAtOnce) {
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        GTEST_SKIP() << "this machine has a default printer";
    }
    EXPECT_FALSE(PrintWithoutDialog(state_, QString(), prompter_));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Не задан принтер по умолчанию: печать невозможна.");
}

}  // namespace
}  // namespace kelm::test
