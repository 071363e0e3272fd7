#include "app/product_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "receiver/product/product_table.h"

namespace vexa {

namespace {

constexpr int kWidth = 240;

}  // namespace

CProductSelDlg::CProductSelDlg(int product, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("140"));
    setWindowTitle(QStringLiteral("VexaDemoPPC"));

    auto* group = new QGroupBox(QStringLiteral("Product Selection"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* buttonGroup = new QButtonGroup(this);
    for (int index = 0; index < kProductCount; ++index) {
        const std::string_view name = ProductName(index);
        auto* button =
            new QRadioButton(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), group);
        button->setObjectName(button->text());
        buttonGroup->addButton(button, index);
        groupLayout->addWidget(button);
        buttons_[static_cast<std::size_t>(index)] = button;
        if (SupportedProduct(index) == nullptr) {
            button->setEnabled(false);
            button->hide();
        }
    }
    if (product >= 0 && product < kProductCount) Button(product)->setChecked(true);

    auto* note = new QLabel(
        QStringLiteral("Product selection will change the functionality and views of VexaDemoPPC."), this);
    note->setWordWrap(true);

    // The dialog's own "Done" stays hidden: OK confirms.
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("Done"));
    done->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(note);
    layout->addStretch();
    layout->addWidget(buttons);
    setFixedWidth(kWidth);
    // The note wraps at the fixed width; a small screen must not squeeze the dialog below that height.
    setMinimumHeight(heightForWidth(kWidth));
}

int CProductSelDlg::Selection() const {
    for (int index = 0; index < kProductCount; ++index) {
        if (Button(index)->isChecked()) return index;
    }
    return 0;
}

}  // namespace vexa
