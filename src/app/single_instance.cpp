#include "app/single_instance.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <sys/socket.h>
#include <unistd.h>

namespace vexa {

namespace {

// How long a later copy waits for the first to accept, and then to answer; a copy busy for longer
// (or hung) is taken for gone.
constexpr int kConnectTimeoutMs = 500;
constexpr int kAnswerTimeoutMs = 2000;
const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");
const QByteArray kRaisedAnswer = QByteArrayLiteral("raised\n");

// Whether the process at the other end of a local socket runs as this user (as the kernel saw it
// connect or listen).
bool PeerIsThisUser(const QLocalSocket& socket) {
    ucred peer{};
    socklen_t length = sizeof peer;
    const auto descriptor = static_cast<int>(socket.socketDescriptor());
    return ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::geteuid();
}

bool AnsweredRaised(QLocalSocket& first) {
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    QByteArray answer;
    while (!answer.contains(kRaisedAnswer) && first.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        answer += first.readAll();
    }
    return answer.contains(kRaisedAnswer);
}

}  // namespace

QString SingleInstance::DefaultName() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/vexademo-instance");
}

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            if (!PeerIsThisUser(*peer)) {
                peer->abort();
                continue;
            }
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (!peer->readAll().contains(kRaiseRequest)) return;
                emit RaiseRequested();
                peer->write(kRaisedAnswer);
                peer->flush();
            });
        }
    });
}

bool SingleInstance::Claim() {
    if (name_.isEmpty()) return true;
    QLocalSocket first;
    first.connectToServer(name_);
    if (first.waitForConnected(kConnectTimeoutMs) && PeerIsThisUser(first)) {
        first.write(kRaiseRequest);
        if (first.waitForBytesWritten(kConnectTimeoutMs) && AnsweredRaised(first)) return false;
    }
    first.abort();
    // Nobody of this user's answers: the socket is left behind by a copy that did not end cleanly,
    // or its copy is hung. A copy that cannot listen still runs; it only cannot be found by the next one.
    QLocalServer::removeServer(name_);
    server_.listen(name_);
    return true;
}

}  // namespace vexa
