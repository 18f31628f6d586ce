// kelm: the desktop program.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>
#include <iostream>

#include "core/LastResort.h"
#include "core/SharedState.h"
#include "core/Version.h"
#include "ui/AppIcon.h"
#include "ui/CKelmApp.h"
#include "ui/InterfaceStyle.h"
#include "ui/QtPrompter.h"

namespace {

int Run(int argc, char** argv) {
    // Answered before the toolkit starts, so that it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "kelm " << kelm::kVersion << "\n";
        return 0;
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
    QStringList words = QApplication::arguments();
    words.removeFirst();
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
