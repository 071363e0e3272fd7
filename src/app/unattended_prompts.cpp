#include "app/unattended_prompts.h"

namespace vexa {

void UnattendedPrompts::ShowMessage(QWidget* owner, const QString& text) {
    ShowCaptionedMessage(owner, QStringLiteral("VexaDemoPPC"), text);
}

void UnattendedPrompts::ShowCaptionedMessage(QWidget*, const QString& caption, const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(out_, "vexademo: %s: %s\n", caption.toLocal8Bit().constData(), line.toLocal8Bit().constData());
    std::fflush(out_);
}

}  // namespace vexa
