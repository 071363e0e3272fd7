#include "views/preferences_sheet.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "views/preference_page.h"

namespace vexa {

CPreferencesSheet::CPreferencesSheet(const QString& caption, QWidget* parent)
    : QDialog(parent),
      tabs_(new QTabWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &CPreferencesSheet::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &CPreferencesSheet::reject);
}

void CPreferencesSheet::AddPage(CPreferencePage* page) {
    page_ = page;
    tabs_->addTab(page, page->Title());
    page->LoadControls();
}

void CPreferencesSheet::accept() {
    if (page_ != nullptr && !page_->SaveControls()) return;
    QDialog::accept();
}

}  // namespace vexa
