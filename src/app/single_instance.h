#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace vexa {

// One running copy per user: the first copy listens on a local socket; a later copy asks it to
// show its window and then leaves.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The per-user name of the program's socket.
    static QString DefaultName();

    explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);

    // False when another copy runs (it has been asked to show itself); otherwise this copy
    // listens for later ones and runs.
    bool Claim();

signals:
    void RaiseRequested();

private:
    QString name_;
    QLocalServer server_;
};

}  // namespace vexa
