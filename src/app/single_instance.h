#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace vexa {

// One running copy per user: the first copy listens on a local socket in the user's private
// runtime folder; a later copy asks it to show its window and leaves once it has answered. Only
// a copy of the same user is asked or heard, and a socket that does not answer keeps no copy
// from starting.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The program's socket in the user's private runtime folder ($XDG_RUNTIME_DIR when it is the
    // user's own and closed to others, else a folder of the user's own made so under the temporary
    // folder); empty when there is no such folder.
    static QString DefaultName();

    explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);

    // False when another copy of this user's runs and has answered that it shows itself;
    // otherwise this copy listens for later ones (unless there is nowhere private to listen) and runs.
    bool Claim();

signals:
    void RaiseRequested();

private:
    QString name_;
    QLocalServer server_;
};

}  // namespace vexa
