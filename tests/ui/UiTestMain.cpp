// The ui tests' main: a QApplication on the offscreen platform and a per-user
// profile and state folder in a temporary folder, so no test ever touches a
// real one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", profile.path().toLocal8Bit());
    // The journal of unsaved titrations too: never the user's own.
    qputenv("XDG_STATE_HOME", profile.path().toLocal8Bit());
    // And the titrant library with the history of results.
    qputenv("XDG_DATA_HOME", profile.path().toLocal8Bit());
    // And the running program's socket and lock, so that no test leaves one
    // in the user's runtime folder. QTemporaryDir makes it the user's alone,
    // as the runtime folder must be.
    const QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
