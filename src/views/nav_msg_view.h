#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

#include "link/model/link_update.h"
#include "views/model_readers.h"
#include "views/nav_texts.h"

class QLabel;
class QPushButton;

namespace vexa {

class DisplayPreferences;
struct ReceiverContext;

// The "Position" page: the latest navigation solution in the user's units, from the binary
// navigation message or the NMEA receiver's latest fix; blank while not connected.
class CNavMsgView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLatLon = 1040;
    static constexpr int kProperties = 1030;

    CNavMsgView(ReceiverContext& context, ModelReader read, DisplayPreferences& preferences,
                QWidget* parent = nullptr);

    void OnInitialUpdate();
    void OnUpdate(const LinkUpdate& update);

    // The text of a static control by id (1040, 1042 to 1049).
    QString Text(int id) const;
    QLabel* Label(int id) const;
    QPushButton* PropertiesButton() const { return properties_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Blank();
    void ShowNmeaFix(const LinkUpdate& update);
    void Show(const NavTexts& texts);

    ReceiverContext& context_;
    ModelReader read_;
    DisplayPreferences& preferences_;
    QFont largeFont_;
    QFont smallFont_;
    QLabel* labels_[10] = {};  // by id - 1040; 1041 is unused
    QPushButton* properties_;
};

}  // namespace vexa
