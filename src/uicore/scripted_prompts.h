#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "uicore/prompts.h"

namespace vexa {

// Prompts answered from a script, for tests: file dialogs take their answers in order (an answer
// of nothing, or no answer left, is a cancel) and every text shown is kept.
class ScriptedPrompts : public Prompts {
public:
    void ShowMessage(QWidget*, const QString& text) override {
        messages.append(text);
        captions.append(QString());
    }
    void ShowCaptionedMessage(QWidget*, const QString& caption, const QString& text) override {
        messages.append(text);
        captions.append(caption);
    }
    std::optional<QString> GetOpenFileName(QWidget*, const FileRequest& request) override { return Answer(request); }
    std::optional<QString> GetSaveFileName(QWidget*, const FileRequest& request) override { return Answer(request); }
    // Text questions take their answers in order too, from textAnswers; each label asked is kept.
    std::optional<QString> GetText(QWidget*, const QString&, const QString& label) override {
        textLabels.append(label);
        if (textAnswers.empty()) return std::nullopt;
        const QString text = textAnswers.front();
        textAnswers.pop_front();
        return text;
    }
    void ShowWaitNotice(QWidget*) override { ++waitNoticesShown; }
    void CloseWaitNotice() override { ++waitNoticesClosed; }

    std::deque<std::optional<QString>> fileAnswers;
    std::vector<FileRequest> fileRequests;
    std::deque<QString> textAnswers;
    QStringList textLabels;
    QStringList messages;
    QStringList captions;  // per message; empty for the program's own caption
    int waitNoticesShown = 0;
    int waitNoticesClosed = 0;

private:
    std::optional<QString> Answer(const FileRequest& request) {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) return std::nullopt;
        // Taken apart: copying the optional whole trips a false uninitialised-use warning of g++ 12.
        const bool chosen = fileAnswers.front().has_value();
        const QString path = fileAnswers.front().value_or(QString());
        fileAnswers.pop_front();
        if (!chosen) return std::nullopt;
        return path;
    }
};

}  // namespace vexa
