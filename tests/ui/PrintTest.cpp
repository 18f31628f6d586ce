// The printed page: the same drawing reaches a PDF file; a print request with
// no printer to print on fails with a message instead of waiting.
#include <QComboBox>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>

#include "UiTestSupport.h"
#include "ui/CKelmDoc.h"
#include "ui/CPrintSetupDlg.h"
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

// The printer set-up chooses without printing, and what it chose is what
// printing and the preview then use: the same printer object.
TEST_F(Printing, ThePrinterSetUpChoosesPaperAndOrientationForTheNextPrint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    {
        CPrintSetupDlg setup(printer, {"Лаборатория", "Склад"});
        EXPECT_EQ(setup.PrinterList()->count(), 2);
        EXPECT_TRUE(setup.PrinterList()->isEnabled());
        EXPECT_TRUE(setup.PortraitButton()->isChecked());
        EXPECT_EQ(setup.PaperList()->currentData().value<QPageSize>().id(), QPageSize::A4);
        setup.PrinterList()->setCurrentIndex(1);
        setup.PaperList()->setCurrentIndex(
            setup.PaperList()->findText(QPageSize(QPageSize::A5).name()));
        setup.LandscapeButton()->setChecked(true);
        setup.accept();
    }
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);

    // Cancel changes nothing, and the next set-up starts from the choice made.
    CPrintSetupDlg again(printer, {"Лаборатория", "Склад"});
    EXPECT_TRUE(again.LandscapeButton()->isChecked());
    EXPECT_EQ(again.PaperList()->currentData().value<QPageSize>().id(), QPageSize::A5);
    again.PortraitButton()->setChecked(true);
    again.reject();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

TEST_F(Printing, WithoutPrintersTheSetUpStillChoosesPaper) {
    QPrinter printer(QPrinter::HighResolution);
    CPrintSetupDlg setup(printer, {});
    EXPECT_FALSE(setup.PrinterList()->isEnabled());
    EXPECT_GE(setup.PaperList()->count(), 5);
    setup.PaperList()->setCurrentIndex(
        setup.PaperList()->findText(QPageSize(QPageSize::Letter).name()));
    setup.accept();
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
}

}  // namespace
}  // namespace kelm::test
