#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>
#include <vector>

class QPushButton;

namespace vexa {

class TabStrip;

// A tab control hosting pages: each page is a child placed below the tabs, shown while its tab
// is current; the widget that had the focus on a page gets it back when the page returns.
// On a page that passes its key presses, the right arrow and Ctrl+Tab move to the next page, the
// left arrow and Ctrl+Shift+Tab to the previous one.
// It can also show every page at once, in a grid of cells of its tabbed size, each page under a
// title that opens it alone. Each page and its title then go into a cell widget of their own; when the
// host is shown in a graphics scene, each cell is a window embedded beside it, so that a change on
// one page repaints that page's cell only, not everything between two pages that changed.
class CTabView : public QWidget {
    Q_OBJECT
public:
    explicit CTabView(QWidget* parent = nullptr);

    // Adds a page under a new tab; gives its tab index.
    int AddView(const QString& label, QWidget* view);
    // False for an index that is not below the tab count; true also for the current index.
    bool SelectTab(int index);
    QWidget* GetView(int index) const;
    int CurrentIndex() const { return current_; }
    int TabCount() const { return static_cast<int>(views_.size()); }
    TabStrip* Tabs() const { return tabs_; }
    // Places a page below the tabs at the host's size.
    void LayoutPage(int index);
    // Key presses on the page and its controls reach the tabs before the page.
    void PassKeyPresses(int index);
    // Every page at once, `columns` to a row, the host growing to hold them; 0 returns to the tabs.
    void ShowAll(int columns);
    bool ShowingAll() const { return columns_ > 0; }
    // The title above a page while every page is shown.
    QPushButton* Title(int index) const;
    // Where a page's cell, its title and the page below it, lies in the host while every page is shown.
    QRect CellRect(int index) const;

signals:
    void ShowingAllChanged(bool showingAll);

protected:
    // A tab was clicked: the new page replaces the previous one.
    virtual void OnSelChange(int index);
    void ShowPage(int index);
    void RestoreSelection(int index);
    int PreviousIndex() const { return previous_; }

    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTabClicked(int index);
    // Changes the page for a tab key as a click on its tab would; false for any other key.
    bool ChangeTabByKey(const QKeyEvent& event);
    void RememberFocus(int index);
    // A page's title clicked: back to the tabs, then to that page as its tab would.
    void OpenFromAll(int index);
    void MakeCells();
    void ReturnPagesFromCells();

    TabStrip* tabs_;
    std::vector<QPointer<QWidget>> views_;
    std::vector<QPointer<QWidget>> focus_;
    int current_ = -1;
    int previous_ = -1;
    std::vector<QPushButton*> titles_;
    std::vector<QWidget*> cells_;  // while every page is shown, in the order of the pages
    int columns_ = 0;  // while every page is shown
    QSize cell_;       // the host's tabbed size, one page's cell while every page is shown
};

}  // namespace vexa
