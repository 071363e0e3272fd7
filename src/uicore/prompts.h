#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace vexa {

// What an open or save file dialog asks for.
struct FileRequest {
    QString title;
    QString filterName;        // "Geoset Files"
    QString pattern;           // "*.gst"
    QString initialFolder;
    QString initialName;
    QString defaultExtension;  // without the dot
    // Several filters ("GPS Files (*.gps)", ...); when given they replace filterName and pattern.
    QStringList nameFilters;
};

// Every modal question the program puts to the user goes through here, so that tests can answer
// them and read their texts. Texts are passed as the program states them, with "\r\n" line breaks.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box with an OK button.
    virtual void ShowMessage(QWidget* owner, const QString& text) = 0;
    // A message box with its own caption and an OK button.
    virtual void ShowCaptionedMessage(QWidget* owner, const QString& caption, const QString& text) = 0;
    // The chosen file, or nothing when the user cancels.
    virtual std::optional<QString> GetOpenFileName(QWidget* owner, const FileRequest& request) = 0;
    virtual std::optional<QString> GetSaveFileName(QWidget* owner, const FileRequest& request) = 0;
    // One line of text the user types after `label`, or nothing when the user cancels.
    virtual std::optional<QString> GetText(QWidget* owner, const QString& title, const QString& label) = 0;
    // The full-screen "Please wait..." notice shown while map resources load; modeless.
    virtual void ShowWaitNotice(QWidget* owner) = 0;
    virtual void CloseWaitNotice() = 0;
};

}  // namespace vexa
