#pragma once

#include <QDialog>

namespace vexa {

// The notice shown while a map loads: a full-screen picture saying "Please wait..." and
// "Map resources are being loaded.", over the owner's window, without a menu bar.
class WaitNoticeDialog : public QDialog {
    Q_OBJECT
public:
    explicit WaitNoticeDialog(QWidget* owner);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vexa
