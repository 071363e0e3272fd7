#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace vexa {

class TabStrip;

// A tab control hosting pages: each page is a child placed below the tabs, shown while its tab
// is current; the widget that had the focus on a page gets it back when the page returns.
// On a page that passes its key presses, the right arrow and Ctrl+Tab move to the next page, the
// left arrow and Ctrl+Shift+Tab to the previous one.
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

    TabStrip* tabs_;
    std::vector<QPointer<QWidget>> views_;
    std::vector<QPointer<QWidget>> focus_;
    int current_ = -1;
    int previous_ = -1;
};

}  // namespace vexa
