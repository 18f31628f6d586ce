// A Kelm started while another runs in the same working folder: the file goes
// to the running window, which comes to the front; the second program ends
// at once with status 0 and writes no kelm.cfg. Driven with real programs.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <optional>

#include "AppTest.h"
#include "ProgramRun.h"
#include "ui/SingleInstance.h"

namespace kelm::test {
namespace {

// Pumps events until `done` or a few seconds have passed.
bool Eventually(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 10000) {
            return false;
        }
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}

class HandOver : public AppTest {
protected:
    std::optional<int> Run(const QStringList& words) {
        const ProgramOutcome outcome =
            RunProgram(dir_.path(), words, /*display=*/true, /*serving=*/true);
        errors_ = outcome.errors;
        QCoreApplication::processEvents();
        return outcome.status;
    }
    QString errors_;
};

// Each file opens there as "&Открыть..." opens it, a bad one told there.
TEST_F(HandOver, AFileGoesToTheRunningWindowWhichComesToTheFront) {
    Start();
    const QString absolute = WriteRecord("absolute.kel", 7);
    WriteRecord("relative.kel", 4);
    const QString unusual = WriteRecord("с пробелом\nи строкой %20#.kel", 9);
    const QString unusualTitle = QFileInfo(unusual).fileName() + " - Kelm";
    WriteFile(Path("damaged.kel"), "text only, and no data");
    struct Case {
        QStringList words;
        int points;     // in the record afterwards
        QString title;  // of the window afterwards
        bool told;      // a message in the running window
    };
    const Case cases[] = {
        {{absolute}, 7, "absolute.kel - Kelm", false},
        {{"relative.kel"}, 4, "relative.kel - Kelm", false},  // the folder is the same
        {{unusual}, 9, unusualTitle, false},
        {{}, 9, unusualTitle, false},  // only to the front
        {{Path("missing.kel")}, 9, unusualTitle, true},
        {{"damaged.kel"}, 9, unusualTitle, true},
    };
    for (const Case& c : cases) {
        prompter_.messages.clear();
        Frame().showMinimized();
        const std::string shown = c.words.join(' ').toStdString();
        EXPECT_EQ(Run(c.words), 0) << shown << errors_.toStdString();
        EXPECT_TRUE(Eventually([&] {
            return state_.record.pointCount == c.points && !Frame().isMinimized() &&
                   prompter_.messages.size() == (c.told ? 1u : 0u);
        })) << shown;
        EXPECT_EQ(Frame().windowTitle(), c.title) << shown;
        EXPECT_FALSE(QFile::exists(Path("kelm.cfg"))) << shown;  // neither program wrote it
    }
    app_->Exit();
    EXPECT_TRUE(QFile::exists(Path("kelm.cfg")));  // the running one, at its exit
}

// A dialog waiting for the user keeps its record: the file opens once the
// dialog has closed, whatever the other program was told meanwhile.
TEST_F(HandOver, AFileWaitsForTheDialogTheUserHasOpen) {
    Start();
    const QString file = WriteRecord("later.kel", 5);
    std::optional<int> status;
    int pointsWhileOpen = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        status = Run({file});
        QTest::qWait(500);  // several turns of the wait for the dialog
        pointsWhileOpen = state_.record.pointCount;
        dialog->reject();
    });
    QDialog modal(&Frame());
    modal.exec();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(pointsWhileOpen, 0);
    EXPECT_TRUE(Eventually([&] { return state_.record.pointCount == 5; }));
}

// Print requests print in the program started for them, as before.
TEST_F(HandOver, APrintRequestIsNotHandedOver) {
    Start();
    const QString file = WriteRecord("print.kel", 6);
    EXPECT_EQ(Run({"/pt", file, "kelm-absent-printer"}), 1);
    EXPECT_TRUE(errors_.contains("Принтер «kelm-absent-printer» не найден."))
        << errors_.toStdString();
    EXPECT_EQ(state_.record.pointCount, 0);
}

// What reaches the socket is read as a request only when it is one: nothing
// else changes the record, and the next true request is still served.
TEST_F(HandOver, NonsenseOnTheSocketIsIgnored) {
    Start();
    const QString file = WriteRecord("real.kel", 3);
    const QString socketPath = SingleInstance::SocketPath(Path("kelm.cfg").toStdString());
    ASSERT_FALSE(socketPath.isEmpty());
    const QByteArray nonsense[] = {
        "\n",
        "open\n",
        "open \n",
        "open http://example.org/a.kel\n",
        "open file:\n",
        "open %%%\n",
        "OPEN file:///x.kel\n",
        QByteArray(100 * 1024, 'x'),
        QByteArray("open file://") + QByteArray(70 * 1024, 'a') + "\n",
        QByteArray("\0\0\0\n", 4),
        "no line end at all",
    };
    for (const QByteArray& bytes : nonsense) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(bytes);
        socket.waitForBytesWritten(2000);
        QTest::qWait(50);
        EXPECT_EQ(state_.record.pointCount, 0) << bytes.left(40).toStdString();
        socket.abort();
    }
    EXPECT_EQ(Run({file}), 0);
    EXPECT_TRUE(Eventually([&] { return state_.record.pointCount == 3; }));
    EXPECT_TRUE(prompter_.messages.empty());
}

// Two real programs, the first after a Kelm that was killed and left its
// socket and lock behind.
class TwoPrograms : public UiTest {
protected:
    void TearDown() override {
        for (QProcess* kelm : {&first_, &second_}) {
            if (kelm->state() != QProcess::NotRunning) {
                kelm->kill();
                kelm->waitForFinished();
            }
        }
        // What the killed programs left in the user's runtime folder.
        QFile::remove(SocketPath());
        QFile::remove(SocketPath() + ".lock");
    }
    QString SocketPath() const {
        return SingleInstance::SocketPath(Path("kelm.cfg").toStdString());
    }
    // Until the program that started first listens.
    bool Listening() const {
        return Eventually([&] {
            QLocalSocket probe;
            probe.connectToServer(SocketPath());
            return probe.waitForConnected(100);
        });
    }
    QStringList RecentFiles() const {
        QSettings profile(Path("profile/DARENS/LARMIT/Kelm.conf"), QSettings::IniFormat);
        profile.beginGroup("Recent File List");
        return {profile.value("File1").toString(), profile.value("File2").toString()};
    }

    QProcess first_;
    QProcess second_;
};

TEST_F(TwoPrograms, TheSecondHandsItsFileToTheFirstEvenAfterACrash) {
    // A Kelm killed in its work: its socket and lock stay where they were.
    QProcess crashed;
    ASSERT_TRUE(StartProgram(crashed, dir_.path(), {}));
    ASSERT_TRUE(Listening());
    ::kill(static_cast<pid_t>(crashed.processId()), SIGKILL);
    crashed.waitForFinished();
    ASSERT_TRUE(QFile::exists(SocketPath()));
    ASSERT_TRUE(QFile::exists(SocketPath() + ".lock"));

    const QString a = WriteRecord("a.kel", 4);
    const QString b = WriteRecord("b.kel", 8);
    ASSERT_TRUE(StartProgram(first_, dir_.path(), {a}));
    ASSERT_TRUE(Listening());
    EXPECT_TRUE(Eventually([&] { return RecentFiles().first() == a; }));

    ASSERT_TRUE(StartProgram(second_, dir_.path(), {b}));
    ASSERT_TRUE(second_.waitForFinished(30000));
    EXPECT_EQ(second_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second_.exitCode(), 0) << second_.readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(Path("kelm.cfg")));
    // The first opened it: the file heads its recent list.
    EXPECT_TRUE(Eventually([&] {
        return RecentFiles() == QStringList({b, a});
    })) << RecentFiles().join(", ").toStdString();
    EXPECT_EQ(first_.state(), QProcess::Running);
}

}  // namespace
}  // namespace kelm::test
