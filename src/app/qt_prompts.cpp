#include "app/qt_prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "app/wait_notice_dialog.h"

namespace vexa {

namespace {

const QString kProgramName = QStringLiteral("VexaDemoPPC");

std::optional<QString> RunFileDialog(QWidget* owner, const FileRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, request.title, request.initialFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (request.nameFilters.isEmpty()) {
        dialog.setNameFilter(request.filterName + QStringLiteral(" (") + request.pattern + QLatin1Char(')'));
    } else {
        dialog.setNameFilters(request.nameFilters);
    }
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QtPrompts::~QtPrompts() { CloseWaitNotice(); }

void QtPrompts::ShowMessage(QWidget* owner, const QString& text) { ShowCaptionedMessage(owner, kProgramName, text); }

void QtPrompts::ShowCaptionedMessage(QWidget* owner, const QString& caption, const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox::information(owner, caption, shown);
}

std::optional<QString> QtPrompts::GetOpenFileName(QWidget* owner, const FileRequest& request) {
    return RunFileDialog(owner, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompts::GetSaveFileName(QWidget* owner, const FileRequest& request) {
    return RunFileDialog(owner, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtPrompts::GetText(QWidget* owner, const QString& title, const QString& label) {
    bool accepted = false;
    const QString text = QInputDialog::getText(owner, title, label, QLineEdit::Normal, QString(), &accepted);
    if (!accepted) return std::nullopt;
    return text;
}

void QtPrompts::ShowWaitNotice(QWidget* owner) {
    CloseWaitNotice();
    waitNotice_ = new WaitNoticeDialog(owner);
    waitNotice_->show();
    // The load that follows keeps the event loop busy; the notice must be on screen before it.
    waitNotice_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPrompts::CloseWaitNotice() {
    delete waitNotice_.data();
    waitNotice_.clear();
}

}  // namespace vexa
