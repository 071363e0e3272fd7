#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <deque>
#include <functional>

namespace vexa::test {

// A user at the screen for the journey tests: answers the program's modal dialogs in the order a
// journey expects them, by mouse clicks and key presses on their widgets. Dialogs run their own
// event loops, so the user looks at the screen on a timer. A message box the journey does not
// expect is noted and closed, and once the patience runs out every dialog is closed, so that a
// journey that goes wrong fails instead of hanging.
class UserAtTheScreen : public QObject {
public:
    explicit UserAtTheScreen(int patienceMs = 60000) : patienceMs_(patienceMs) {
        looking_.setInterval(20);
        connect(&looking_, &QTimer::timeout, this, &UserAtTheScreen::Look);
        looking_.start();
        elapsed_.start();
    }

    // Once the modal dialog of this type is up and `ready` holds for it, `act` on it.
    template <class Dialog>
    void Answer(std::function<void(Dialog&)> act, std::function<bool(Dialog&)> ready = {}) {
        steps_.push_back(Step{[ready](QWidget* modal) {
                                  auto* dialog = qobject_cast<Dialog*>(modal);
                                  return dialog != nullptr && (!ready || ready(*dialog));
                              },
                              [act](QWidget* modal) { act(*qobject_cast<Dialog*>(modal)); }});
    }

    // Every answer given.
    bool Done() const { return steps_.empty(); }
    // The texts of the message boxes nobody expected, and of the dialogs closed for lack of patience.
    const QStringList& Surprises() const { return surprises_; }

    static void Click(QWidget* widget, QPoint at = {}) {
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
    }
    static void Type(QWidget* widget, const QString& text) { QTest::keyClicks(widget, text); }

    // Opens a menu of the menu bar and clicks one of its items.
    static void ChooseMenuItem(QMenuBar* bar, const QString& menuTitle, const QString& itemText) {
        for (QAction* menuAction : bar->actions()) {
            if (menuAction->text() != menuTitle || menuAction->menu() == nullptr) continue;
            Click(bar, bar->actionGeometry(menuAction).center());
            QMenu* menu = menuAction->menu();
            RunUntil([menu] { return menu->isVisible(); }, 2000);
            for (QAction* item : menu->actions()) {
                if (item->text() == itemText) Click(menu, menu->actionGeometry(item).center());
            }
            return;
        }
    }

    // Lets the program run (its timers, the link's notifications, the dialogs) until `done` holds.
    static bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return done();
    }

private:
    struct Step {
        std::function<bool(QWidget*)> ready;
        std::function<void(QWidget*)> act;
    };

    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        if (elapsed_.elapsed() > patienceMs_) {
            surprises_ << QStringLiteral("still open when the patience ran out: ") + modal->windowTitle();
            modal->hide();
            return;
        }
        if (!steps_.empty() && steps_.front().ready(modal)) {
            // The answer may open a dialog of its own, whose loop runs inside it: it runs after this
            // look, so that the looking goes on meanwhile.
            std::function<void(QWidget*)> act = std::move(steps_.front().act);
            steps_.pop_front();
            QTimer::singleShot(0, modal, [act, dialog = QPointer<QWidget>(modal)] {
                if (dialog) act(dialog);
            });
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && !box->buttons().isEmpty()) {
            surprises_ << box->text();
            Click(box->buttons().constFirst());
        }
    }

    int patienceMs_;
    QElapsedTimer elapsed_;
    QTimer looking_;
    std::deque<Step> steps_;
    QStringList surprises_;
};

}  // namespace vexa::test
