#pragma once

#include <QWidget>

namespace vexa {

// An empty page in the pages' light grey.
class LightGreyPage : public QWidget {
    Q_OBJECT
public:
    explicit LightGreyPage(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vexa
