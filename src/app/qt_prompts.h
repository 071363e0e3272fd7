#pragma once

#include <QPointer>

#include "uicore/prompts.h"

class QDialog;

namespace vexa {

// The prompts as real Qt dialogs.
class QtPrompts : public Prompts {
public:
    ~QtPrompts() override;

    void ShowMessage(QWidget* owner, const QString& text) override;
    void ShowCaptionedMessage(QWidget* owner, const QString& caption, const QString& text) override;
    std::optional<QString> GetOpenFileName(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> GetSaveFileName(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> GetText(QWidget* owner, const QString& title, const QString& label) override;
    void ShowWaitNotice(QWidget* owner) override;
    void CloseWaitNotice() override;

private:
    QPointer<QDialog> waitNotice_;
};

}  // namespace vexa
