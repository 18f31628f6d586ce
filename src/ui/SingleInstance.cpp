#include "ui/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace kelm {

namespace {

// The request is one line: "open FILE-URL" or "show"; a file URL spells every
// character of a name, line breaks included. The answer is "ok".
constexpr char kOpen[] = "open ";
constexpr char kShow[] = "show";
constexpr char kTaken[] = "ok\n";
constexpr qint64 kMaxRequest = 64 * 1024;  // longer is no request of ours
constexpr int kConnectMs = 2000;           // the first Kelm may only be locking yet
constexpr int kConnectRetryMs = 50;
// The first Kelm answers from its event loop: after its own start, which may
// show a message, or after a second-long exchange with the meter.
constexpr int kAnswerMs = 10000;

QString User() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

QString Folder(const std::filesystem::path& settingsPath) {
    const QFileInfo settings(QString::fromStdU16String(settingsPath.u16string()));
    const QString canonical = QDir(settings.absolutePath()).canonicalPath();
    return canonical.isEmpty() ? settings.absolutePath() : canonical;
}

struct Request {
    enum class State { Incomplete, Open, Show, Nonsense } state = State::Incomplete;
    QString file;
};

// A connection's request, once its line has come in whole.
Request ReadRequest(QLocalSocket& socket) {
    if (socket.bytesAvailable() > kMaxRequest) {
        return {Request::State::Nonsense, {}};
    }
    if (!socket.canReadLine()) {
        return {};
    }
    const QByteArray line = socket.readLine().trimmed();
    if (line == kShow) {
        return {Request::State::Show, {}};
    }
    if (line.startsWith(kOpen)) {
        const QUrl url = QUrl::fromEncoded(line.mid(qsizetype(sizeof kOpen) - 1), QUrl::StrictMode);
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            return {Request::State::Open, url.toLocalFile()};
        }
    }
    return {Request::State::Nonsense, {}};
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& settingsPath)
    : socketPath_(SocketPath(settingsPath)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
}

SingleInstance::~SingleInstance() {
    server_.close();  // before the lock goes, so that a successor finds no socket
}

QString SingleInstance::SocketPath(const std::filesystem::path& settingsPath) {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        return {};
    }
    const QByteArray key = (User() + QChar(0) + Folder(settingsPath)).toUtf8();
    const QString name =
        QStringLiteral("kelm-") +
        QString::fromLatin1(
            QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
#ifdef Q_OS_WIN
    return name;  // a pipe of the user's session
#else
    return QDir(runtime).filePath(name);
#endif
}

SingleInstance::Role SingleInstance::Claim() {
    if (socketPath_.isEmpty()) {
        return Role::Alone;
    }
    if (!lock_) {
        lock_ = std::make_unique<QLockFile>(socketPath_ + QStringLiteral(".lock"));
        // Held for as long as the program runs: only a lock whose program is
        // gone is stale, never one that is merely old.
        lock_->setStaleLockTime(0);
    }
    if (!lock_->tryLock(0)) {
        return lock_->error() == QLockFile::LockFailedError ? Role::Second : Role::Alone;
    }
    // The lock is ours, so a socket left there belongs to a Kelm that is gone.
    QLocalServer::removeServer(socketPath_);
    if (!server_.listen(socketPath_)) {
        lock_->unlock();
        return Role::Alone;
    }
    return Role::First;
}

SingleInstance::HandOverResult SingleInstance::HandOver(const QString& file) {
    QLocalSocket socket;
    // The first Kelm takes the lock a moment before it listens.
    for (int waited = 0;; waited += kConnectRetryMs) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(kConnectMs)) {
            break;
        }
        if (waited >= kConnectMs) {
            return HandOverResult::Gone;
        }
        QThread::msleep(kConnectRetryMs);
    }
    const QByteArray request =
        file.isEmpty()
            ? QByteArray(kShow)
            : kOpen + QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
    socket.write(request + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kAnswerMs)) {
            return socket.state() == QLocalSocket::ConnectedState ? HandOverResult::Silent
                                                                  : HandOverResult::Gone;
        }
    }
    return socket.readLine() == kTaken ? HandOverResult::Taken : HandOverResult::Gone;
}

void SingleInstance::Serve(std::function<void(const QString& file)> onRequest) {
    onRequest_ = std::move(onRequest);
    QObject::connect(&server_, &QLocalServer::newConnection, &server_,
                     [this] { TakeConnections(); });
    TakeConnections();
}

void SingleInstance::TakeConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const QPointer<QLocalSocket> guard(socket);
        const auto answer = [this, guard] {
            if (guard == nullptr) {
                return;
            }
            const Request request = ReadRequest(*guard);
            if (request.state == Request::State::Incomplete) {
                return;
            }
            if (request.state == Request::State::Nonsense) {
                guard->abort();  // nothing a Kelm sends
                guard->deleteLater();
                return;
            }
            guard->write(kTaken);
            guard->disconnectFromServer();
            // Out of the socket's signal: an open may wait for the user in a
            // message box, while this socket goes away.
            QMetaObject::invokeMethod(
                &server_, [this, file = request.file] { onRequest_(file); }, Qt::QueuedConnection);
        };
        QObject::connect(socket, &QLocalSocket::readyRead, socket, answer);
        answer();
    }
}

}  // namespace kelm
