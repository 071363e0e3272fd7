#pragma once

#include <QDialog>

class QLabel;

namespace vexa {

// "About VexaDemoPPC": the program's icon, its name and versions, and the map engine.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString VersionText() const;

private:
    QLabel* version_;
};

// The third line of the version text: this build's version and date.
QString BuildVersionLine();

}  // namespace vexa
