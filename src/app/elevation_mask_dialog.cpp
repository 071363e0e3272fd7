#include "app/elevation_mask_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <optional>

#include "uicore/field_text.h"
#include "uicore/prompts.h"

namespace vexa {

namespace {


QLineEdit* AddMaskRow(QWidget* dialog, QGridLayout* grid, int row, int id, const QString& label) {
    auto* edit = new QLineEdit(dialog);
    edit->setObjectName(QString::number(id));
    grid->addWidget(new QLabel(label, dialog), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("deg"), dialog), row, 2);
    return edit;
}

}  // namespace

CElevationMaskDlg::CElevationMaskDlg(CommandSender send, Prompts& prompts, QWidget* parent)
    : QDialog(parent), send_(std::move(send)), prompts_(prompts) {
    setObjectName(QStringLiteral("137"));
    setWindowTitle(QStringLiteral("Set Elevation Mask"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Set minimum satellite elevation\nangle to be required for:"), this));
    auto* grid = new QGridLayout;
    navMask_ = AddMaskRow(this, grid, 0, 1141, QStringLiteral("Navigation:"));
    trackMask_ = AddMaskRow(this, grid, 1, 1140, QStringLiteral("Tracking:"));
    // The tracking row, with its label and unit, is neither shown nor editable.
    for (int column = 0; column < 3; ++column) {
        QWidget* widget = grid->itemAtPosition(1, column)->widget();
        widget->setEnabled(false);
        widget->setVisible(false);
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CElevationMaskDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CElevationMaskDlg::reject);
    layout->addWidget(buttons);
}

int CElevationMaskDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CElevationMaskDlg::OnInitDialog() {
    navMask_->setText(NumberText(m_dNavMask));
    trackMask_->setText(NumberText(m_dTrackMask));
}

void CElevationMaskDlg::accept() {
    double values[2] = {};
    QLineEdit* fields[2] = {navMask_, trackMask_};
    for (int i = 0; i < 2; ++i) {
        const std::optional<double> value = NumberField(fields[i]->text());
        if (!value) {
            prompts_.ShowMessage(this, QStringLiteral("Please enter a number."));
            return;
        }
        values[i] = *value;
        if (!(values[i] >= kMinElevationMask && values[i] <= kMaxElevationMask)) {
            prompts_.ShowMessage(this, QStringLiteral("Please enter a number between -20 and 90."));
            return;
        }
    }
    m_dNavMask = values[0];
    m_dTrackMask = values[1];
    // A command that does not go out shows by the receiver's missing answer, as from the menus.
    if (const std::optional<CommandMessage> command = ElevationMaskCommand(m_dTrackMask, m_dNavMask))
        (void)SendCommand(send_, *command);
    QDialog::accept();
}

}  // namespace vexa
