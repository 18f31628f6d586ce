// kelm: the desktop program.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <iostream>
#include <optional>

#include "core/LastResort.h"
#include "core/SharedState.h"
#include "ui/AppIcon.h"
#include "ui/CKelmApp.h"
#include "ui/CommandLine.h"
#include "ui/InterfaceStyle.h"
#include "ui/QtPrompter.h"

namespace {

int Run(int argc, char** argv) {
    // The words as Qt would give them; help, version and refusals are
    // answered before the toolkit starts, so that they need no display.
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words.append(QString::fromLocal8Bit(argv[i]));
    }
    if (const std::optional<int> status =
            kelm::AnswerOnTerminal(kelm::ParseCommandLine(words), std::cout, std::cerr)) {
        return *status;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(kelm::kProfileOrganisation);
    QApplication::setApplicationName(kelm::kProfileApplication);
    QApplication::setWindowIcon(kelm::AppIcon());
    kelm::ApplyInterfaceStyle(app);

    // The interface is Russian: so are Qt's own file, colour and print dialogs.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }

    kelm::SharedState state;
    kelm::QtPrompter prompter;
    kelm::CKelmApp kelmApp(state, prompter, words);

    switch (kelmApp.Start()) {
        case kelm::StartResult::Done:
            return 0;
        case kelm::StartResult::Failed:
            return 1;
        case kelm::StartResult::Running:
            break;
    }
    prompter.SetOwner(&kelmApp.MainFrame());
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&kelmApp.MainFrame(), &kelm::CMainFrame::Closed, &app, &QApplication::quit);
    const int status = QApplication::exec();
    kelmApp.Exit();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    return kelm::RunGuarded("kelm", [&] { return Run(argc, argv); });
}
