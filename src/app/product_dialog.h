#pragma once

#include <QDialog>
#include <array>

class QRadioButton;

namespace vexa {

// "Product Selection": which receiver the program talks to. "Harrier" and "VexaLoc" are part of
// the group but hidden and disabled; OK confirms the choice, closing the dialog otherwise keeps
// the previous product.
class CProductSelDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kProductCount = 5;

    CProductSelDlg(int product, QWidget* parent = nullptr);

    // The product whose button is checked.
    int Selection() const;
    QRadioButton* Button(int product) const { return buttons_.at(static_cast<std::size_t>(product)); }

private:
    std::array<QRadioButton*, kProductCount> buttons_{};
};

}  // namespace vexa
