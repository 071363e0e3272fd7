#pragma once

#include <QObject>

namespace vexa {

// The document: the pages connect to it and hear every update it broadcasts. The hint is the
// id of the receiver message that changed the model (or a kind the link announces).
class CFeedDoc : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void UpdateAllViews(int hint);
    // Once, after the window set is built.
    void InitialUpdate();

signals:
    void ViewUpdate(int hint);
    void ViewInitialUpdate();
};

}  // namespace vexa
