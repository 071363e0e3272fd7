#pragma once

#include <QObject>

namespace vexa {

// The update hint of the main frame's once-a-second redraw: no message has id 0. Pages with a time
// rule (the fix status turning yellow, the time to first fix counting up) apply it then, even when
// the receiver sends nothing.
inline constexpr int kClockHint = 0;

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
