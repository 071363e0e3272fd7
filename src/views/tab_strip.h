#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>

namespace vexa {

// The row of tabs above the pages: items of equal width across the strip, each painted by its
// owner; a click on an item asks for that page. Reached by the Tab key, the arrow keys, Home and
// End ask for the page beside, the first and the last.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 21;

    // Paints one item; `pressed` is set for the current item.
    using ItemPainter = std::function<void(QPainter& painter, int index, const QRect& itemRect, bool pressed)>;

    explicit TabStrip(QWidget* parent = nullptr);

    // The new item's index.
    int AddItem(const QString& label);
    int Count() const { return static_cast<int>(labels_.size()); }
    QString Label(int index) const { return labels_.value(index); }
    int Current() const { return current_; }
    void SetCurrent(int index);
    QRect ItemRect(int index) const;
    void SetItemPainter(ItemPainter painter) { painter_ = std::move(painter); }

signals:
    void ItemClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringList labels_;
    int current_ = -1;
    ItemPainter painter_;
};

}  // namespace vexa
