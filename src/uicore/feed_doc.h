#pragma once

#include <QObject>

#include "link/model/link_update.h"

namespace vexa {

// The document: the pages connect to it and hear every update it broadcasts, the link's (taken
// from its update queue) and the main frame's ClockTick.
class CFeedDoc : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void UpdateAllViews(const LinkUpdate& update);
    // Once, after the window set is built.
    void InitialUpdate();

signals:
    void ViewUpdate(const vexa::LinkUpdate& update);
    void ViewInitialUpdate();
};

}  // namespace vexa
