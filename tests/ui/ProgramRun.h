// The kelm program itself, started in a test's folder as the desktop or a
// terminal starts it, with its profile and journal in that folder.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kelm::test {

// On the offscreen platform; or with no display at all, where the toolkit
// could not start.
inline QProcessEnvironment ProgramEnvironment(const QString& folder, bool display = true) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (display) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
    }
    env.insert("XDG_CONFIG_HOME", folder + "/profile");
    env.insert("XDG_STATE_HOME", folder + "/state");
    return env;
}

inline bool StartProgram(QProcess& kelm, const QString& folder, const QStringList& words,
                         bool display = true) {
    kelm.setWorkingDirectory(folder);
    kelm.setProcessEnvironment(ProgramEnvironment(folder, display));
    kelm.start(KELM_PROGRAM, words);
    return kelm.waitForStarted();
}

struct ProgramOutcome {
    std::optional<int> status;  // nothing when it crashed or had to be killed
    QString out;
    QString errors;
};

// Runs it to its end, at most a minute. With `serving`, this process's own
// events are handled meanwhile, so that a window here can answer it.
inline ProgramOutcome RunProgram(const QString& folder, const QStringList& words,
                                 bool display = true, bool serving = false) {
    QProcess kelm;
    if (!StartProgram(kelm, folder, words, display)) {
        return {};
    }
    QElapsedTimer clock;
    clock.start();
    while (!kelm.waitForFinished(serving ? 10 : 1000)) {
        if (serving) {
            QCoreApplication::processEvents();
        }
        if (clock.elapsed() > 60000) {
            kelm.kill();
            kelm.waitForFinished();
            return {};
        }
    }
    ProgramOutcome outcome;
    if (kelm.exitStatus() == QProcess::NormalExit) {
        outcome.status = kelm.exitCode();
    }
    outcome.out = QString::fromUtf8(kelm.readAllStandardOutput());
    outcome.errors = QString::fromUtf8(kelm.readAllStandardError());
    return outcome;
}

}  // namespace kelm::test
