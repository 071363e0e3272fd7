#include "app/screenshots.h"

#include <QDir>
#include <QPixmap>

#include "app/demo_tab_view.h"
#include "app/history_items.h"
#include "app/main_frame.h"
#include "views/debug_data_view.h"
#include "views/history/history_window.h"

namespace vexa {

bool SaveScreenshots(CMainFrame& frame, const QString& folder) {
    static const char* const kPageFiles[] = {"position.png", "signal.png", "sky.png", "plot.png", "map.png", "text.png"};
    QDir target(folder);
    if (!target.mkpath(QStringLiteral("."))) return false;
    // A replayed capture stands still first, so that every picture shows the same moment.
    HistoryItems& history = frame.History();
    history.ShowWindow();
    history.HoldReplay();
    CDemoTabView* host = frame.TabHost();
    host->TextView()->Redraw();
    bool saved = frame.grab().save(target.filePath(QStringLiteral("window.png")));
    for (int index = 0; index < host->TabCount(); ++index) {
        // A page not shown yet is laid out only when it is next shown; lay it out for the picture.
        host->LayoutPage(index);
        saved = host->GetView(index)->grab().save(target.filePath(QString::fromLatin1(kPageFiles[index]))) && saved;
    }
    return history.Window()->grab().save(target.filePath(QStringLiteral("history.png"))) && saved;
}

}  // namespace vexa
