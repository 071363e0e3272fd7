#include "app/single_instance.h"

#include <QLocalSocket>
#include <unistd.h>

namespace vexa {

namespace {

constexpr int kConnectTimeoutMs = 500;
const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");

}  // namespace

QString SingleInstance::DefaultName() { return QStringLiteral("VexaDemoPPC-%1").arg(::getuid()); }

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains(kRaiseRequest)) emit RaiseRequested();
            });
        }
    });
}

bool SingleInstance::Claim() {
    QLocalSocket first;
    first.connectToServer(name_);
    if (first.waitForConnected(kConnectTimeoutMs)) {
        first.write(kRaiseRequest);
        first.waitForBytesWritten(kConnectTimeoutMs);
        first.disconnectFromServer();
        return false;
    }
    // Nobody answers: a socket left behind by a copy that did not end cleanly is stale.
    // A copy that cannot listen still runs; it only cannot be found by the next one.
    QLocalServer::removeServer(name_);
    server_.listen(name_);
    return true;
}

}  // namespace vexa
