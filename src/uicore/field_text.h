#pragma once

#include <QLocale>
#include <QString>
#include <optional>

namespace vexa {

// A dialog field's text as a number, in the C locale, blanks around it allowed; nothing when the
// whole text is not one.
inline std::optional<int> IntegerField(const QString& text) {
    bool ok = false;
    const int value = QLocale::c().toInt(text.trimmed(), &ok);
    return ok ? std::optional(value) : std::nullopt;
}

inline std::optional<double> NumberField(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? std::optional(value) : std::nullopt;
}

// A number as a dialog field shows it: up to 15 significant digits, no trailing zeros.
inline QString NumberText(double value) { return QString::number(value, 'g', 15); }

}  // namespace vexa
