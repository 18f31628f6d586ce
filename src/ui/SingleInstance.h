// One Kelm per user and working folder: the folder holds the kelm.cfg both
// would write at exit, and the meter on its port opens for one program only.
// A Kelm started while another runs there hands its request over a local
// socket and ends; the running one opens the file and comes to the front.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace kelm {

class SingleInstance final {
public:
    // `settingsPath`: the kelm.cfg of this run; its folder is the working folder.
    explicit SingleInstance(const std::filesystem::path& settingsPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Where the Kelm of the working folder listens: a socket in the user's
    // own runtime folder, named after the user and the folder; empty where
    // the system gives no such folder (every Kelm then runs on its own).
    static QString SocketPath(const std::filesystem::path& settingsPath);

    enum class Role {
        First,   // no other Kelm here: this one listens
        Second,  // another Kelm listens: hand the request over to it
        Alone,   // no socket can be had: run on its own
    };

    // Takes the folder's name when no running Kelm holds it; one left by a
    // Kelm that ended without giving it back (a crash, a kill) is taken over.
    Role Claim();

    enum class HandOverResult {
        Taken,   // the first Kelm has the request
        Gone,    // it ended meanwhile, or never listened: claim again
        Silent,  // it is there but does not answer: run on its own
    };

    // Asks the first Kelm to open `file` (made absolute here) or, with an
    // empty one, to come to the front.
    HandOverResult HandOver(const QString& file);

    // From now on each request is given to `onRequest` (the absolute file, or
    // empty for "come to the front"); requests that came while the program
    // was still starting are given at once. Only after Claim gave First.
    void Serve(std::function<void(const QString& file)> onRequest);

private:
    void TakeConnections();

    QString socketPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<void(const QString&)> onRequest_;
};

}  // namespace kelm
