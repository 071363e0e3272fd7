#pragma once

#include <QString>
#include <QWidget>

namespace vexa {

// One page of the preferences sheet, exchanging its controls with the settings block.
class CPreferencePage : public QWidget {
public:
    using QWidget::QWidget;

    virtual QString Title() const = 0;
    // Settings into the controls.
    virtual void LoadControls() = 0;
    // Controls into the settings; false, with the reason shown, when a field does not convert.
    virtual bool SaveControls() = 0;
};

}  // namespace vexa
