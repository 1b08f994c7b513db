// Plays the user in the in-process window tests: finds the shown windows and presses their
// buttons while the program's own event loops run.
#pragma once

#include <QApplication>
#include <QDateTime>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>

class UiRobot {
public:
    // Returns true once it has done its part; until then it is tried again a moment later.
    using Step = std::function<bool()>;
    using Act = std::function<bool(QQuickWindow*)>;
    struct Outcome {
        QString message;
        bool heightLocked = false;
    };

    UiRobot() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    UiRobot& then(const QString& description, Step step) {
        steps_.append({description, std::move(step)});
        return *this;
    }
    void start() {
        deadline_ = QDateTime::currentMSecsSinceEpoch() + 30000;
        timer_.start();
    }
    bool finished() const { return steps_.isEmpty() && failure_.isEmpty(); }
    QString failure() const { return failure_; }
    // The object names of every window seen shown while the robot ran.
    QSet<QString> windowsSeen() const { return seen_; }

    static QQuickItem* item(QQuickWindow* window, const QString& name) {
        return window->findChild<QQuickItem*>(name);
    }
    // Clicks the middle of a visible item like a mouse would; false when it is not there.
    // From the event loop, not from inside the robot's tick: the click may open a modal box,
    // and the robot must keep ticking to answer it. The point is taken then too, after the
    // positioners above the target have laid out what the previous step changed; they
    // otherwise wait for the next frame, and a click at the old place misses.
    static bool click(QQuickWindow* window, const QString& name) {
        QQuickItem* target = item(window, name);
        if (!target || !target->isVisible())
            return false;
        QTimer::singleShot(0, window, [window, target = QPointer<QQuickItem>(target)] {
            if (!target)
                return;
            for (QQuickItem* above = target->parentItem(); above; above = above->parentItem()) {
                if (above->metaObject()->indexOfMethod("forceLayout()") >= 0)
                    QMetaObject::invokeMethod(above, "forceLayout");
            }
            const QPointF middle(target->width() / 2, target->height() / 2);
            QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                              target->mapToScene(middle).toPoint());
        });
        return true;
    }
    static void type(QQuickWindow* window, const QString& field, const QString& text) {
        item(window, field)->forceActiveFocus();
        for (const QChar c : text)
            QTest::keyClick(window, c.toLatin1());
    }
    static QMessageBox* shownMessageBox() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible())
                return box;
        }
        return nullptr;
    }

    // A step that acts on the named window once it has stayed shown for a moment and no
    // message box covers it.
    Step inWindow(const QString& name, Act act) const {
        return [this, name, act] {
            for (auto it = shownTicks_.cbegin(); it != shownTicks_.cend(); ++it) {
                auto* quick = qobject_cast<QQuickWindow*>(it.key());
                if (quick && it.value() >= 3 && quick->objectName() == name)
                    return !shownMessageBox() && act(quick);
            }
            return false;
        };
    }
    Step inPrompt(Act act) const { return inWindow("passwordDialog", std::move(act)); }
    // Reads the result window, then presses its OK.
    Step acceptResult(Outcome* outcome) const {
        return inWindow("resultDialog", [outcome](QQuickWindow* result) {
            // Not before the window has fitted its height to the message.
            if (result->height() <= 1 || result->minimumHeight() <= 1)
                return false;
            outcome->message = result->property("message").toString();
            outcome->heightLocked = result->minimumHeight() == result->maximumHeight() &&
                                    result->height() == result->minimumHeight();
            return click(result, "okButton");
        });
    }
    // The title bar's close button: refused, the window hides and reports a dismissal.
    Step closePrompt() const {
        return inPrompt([](QQuickWindow* dialog) {
            dialog->close();
            return true;
        });
    }
    Step escapePrompt() const {
        return inPrompt([](QQuickWindow* dialog) {
            // A person's key press goes to the window they look at, made active first.
            dialog->requestActivate();
            QTimer::singleShot(50, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
            return true;
        });
    }

private:
    void tick() {
        QHash<QWindow*, int> ticks; // how many ticks in a row each window has been shown
        QString shown;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (!window->isVisible())
                continue;
            ticks.insert(window, shownTicks_.value(window) + 1);
            seen_.insert(window->objectName());
            shown += QStringLiteral(" %1 (%2x%3, min height %4)")
                         .arg(window->objectName())
                         .arg(window->width())
                         .arg(window->height())
                         .arg(window->minimumHeight());
        }
        shownTicks_ = ticks;
        if (!failure_.isEmpty()) {
            // Gave up: leave whatever event loop the program waits in, until control is back.
            if (QMessageBox* box = shownMessageBox())
                box->reject();
            QCoreApplication::quit();
        } else if (!steps_.isEmpty() && steps_.first().second()) {
            steps_.removeFirst();
        } else if (QDateTime::currentMSecsSinceEpoch() > deadline_) {
            // Still ticking after the last step: the program must have left its loop by then.
            failure_ =
                "timed out at step: " +
                (steps_.isEmpty() ? QStringLiteral("(after the last)") : steps_.first().first) +
                "; shown windows:" + shown;
            QCoreApplication::quit();
        }
    }

    QTimer timer_;
    qint64 deadline_ = 0;
    QList<QPair<QString, Step>> steps_;
    QString failure_;
    QSet<QString> seen_;
    QHash<QWindow*, int> shownTicks_;
};
