#pragma once

#include <QDialog>

class QDialogButtonBox;
class QTabWidget;

namespace vexa {

class CPreferencePage;

// The "Display Properties" sheet: one page, OK and Cancel, no Help and no Apply.
class CPreferencesSheet : public QDialog {
    Q_OBJECT
public:
    CPreferencesSheet(const QString& caption, QWidget* parent);

    // The sheet takes the page over and fills its controls from the settings.
    void AddPage(CPreferencePage* page);
    CPreferencePage* Page() const { return page_; }

    // OK: the page's fields go into the settings; a field that does not convert keeps the sheet open.
    void accept() override;

private:
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    CPreferencePage* page_ = nullptr;
};

}  // namespace vexa
