#pragma once

#include <cstdio>

#include "uicore/prompts.h"

namespace vexa {

// The prompts of a run that nobody watches (screenshots, possibly without a display): messages
// are printed instead of waiting for an OK, file dialogs are cancelled, the wait notice is skipped.
class UnattendedPrompts : public Prompts {
public:
    explicit UnattendedPrompts(std::FILE* out = stderr) : out_(out) {}

    void ShowMessage(QWidget* owner, const QString& text) override;
    void ShowCaptionedMessage(QWidget* owner, const QString& caption, const QString& text) override;
    std::optional<QString> GetOpenFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> GetSaveFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> GetText(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    void ShowWaitNotice(QWidget*) override {}
    void CloseWaitNotice() override {}

private:
    std::FILE* out_;
};

}  // namespace vexa
