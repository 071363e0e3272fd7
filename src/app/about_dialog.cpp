#include "app/about_dialog.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>

#include "app/program_icon.h"

namespace vexa {

QString BuildVersionLine() {
    const QDate built = QLocale::c().toDate(QString::fromLatin1(__DATE__).simplified(), QStringLiteral("MMM d yyyy"));
    return QStringLiteral("Linux build %1 (%2)")
        .arg(QStringLiteral(VEXA_VERSION), built.toString(QStringLiteral("yyyy.MM.dd")));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), version_(new QLabel(this)) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("About VexaDemoPPC"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("200"));
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    version_->setObjectName(QStringLiteral("1190"));
    version_->setText(QStringLiteral("VexaDemoPPC\nv1.11 (2005.06.29)\n") + BuildVersionLine());
    auto* engine = new QLabel(QStringLiteral("Map engine: built-in vector map control"), this);
    engine->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(version_, 0, 1);
    layout->addWidget(engine, 1, 0, 1, 2);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

QString CAboutDlg::VersionText() const { return version_->text(); }

}  // namespace vexa
