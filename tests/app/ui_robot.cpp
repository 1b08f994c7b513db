#include "ui_robot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

namespace {

QString describeShownWindows() {
    QString text;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible())
            text += QStringLiteral(" %1 (%2x%3, min height %4)")
                        .arg(window->objectName())
                        .arg(window->width())
                        .arg(window->height())
                        .arg(window->minimumHeight());
    }
    return text;
}

} // namespace

UiRobot::UiRobot(int timeoutMs) : timeoutMs_(timeoutMs) {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &UiRobot::tick);
}

UiRobot& UiRobot::then(const QString& description, Step step) {
    steps_.append({description, std::move(step)});
    return *this;
}

void UiRobot::start() {
    deadline_ = QDateTime::currentMSecsSinceEpoch() + timeoutMs_;
    timer_.start();
}

void UiRobot::noteShownWindows() {
    QHash<QWindow*, int> ticks;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible())
            continue;
        ticks.insert(window, shownTicks_.value(window) + 1);
        if (!window->objectName().isEmpty())
            seen_.insert(window->objectName());
    }
    shownTicks_ = ticks;
}

void UiRobot::tick() {
    noteShownWindows();
    if (!failure_.isEmpty()) {
        // Gave up: leave whatever event loop the program waits in, until control comes back.
        if (QMessageBox* box = shownMessageBox())
            box->reject();
        QCoreApplication::quit();
        return;
    }
    if (!steps_.isEmpty() && steps_.first().step()) {
        steps_.removeFirst();
        return;
    }
    // Still ticking after the last step: the program must have left its loop by then.
    if (QDateTime::currentMSecsSinceEpoch() > deadline_) {
        failure_ =
            QStringLiteral("timed out at step: ") +
            (steps_.isEmpty() ? QStringLiteral("(after the last)") : steps_.first().description) +
            QStringLiteral("; shown windows:") + describeShownWindows();
        QCoreApplication::quit();
    }
}

QQuickWindow* UiRobot::shownWindow(const QString& name) const {
    for (auto it = shownTicks_.cbegin(); it != shownTicks_.cend(); ++it) {
        auto* quick = qobject_cast<QQuickWindow*>(it.key());
        if (quick && it.value() >= 3 && quick->isVisible() && quick->objectName() == name)
            return quick;
    }
    return nullptr;
}

QQuickItem* UiRobot::item(QQuickWindow* window, const QString& name) {
    return window ? window->findChild<QQuickItem*>(name) : nullptr;
}

bool UiRobot::click(QQuickWindow* window, const QString& name) {
    QQuickItem* target = item(window, name);
    if (!target || !target->isVisible())
        return false;
    // Clicked from the event loop, not from inside the robot's own tick: the click may open a
    // modal box, and the robot must keep ticking to answer it. The point is taken then too,
    // after the positioners above the target have laid out what the previous step changed;
    // they otherwise wait for the next frame, and a click at the old place misses.
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

QString UiRobot::text(QQuickWindow* window, const QString& name) {
    return item(window, name)->property("text").toString();
}

void UiRobot::type(QQuickWindow* window, const QString& field, const QString& text) {
    item(window, field)->forceActiveFocus();
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

QMessageBox* UiRobot::shownMessageBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible())
            return box;
    }
    return nullptr;
}

UiRobot::Step UiRobot::acceptMessageBox(QString* text) {
    return [text] {
        QMessageBox* box = shownMessageBox();
        if (!box)
            return false;
        *text = box->text();
        box->button(QMessageBox::Ok)->click();
        return true;
    };
}

UiRobot::Step UiRobot::inWindow(const QString& name, std::function<bool(QQuickWindow*)> act) const {
    return [this, name, act] {
        QQuickWindow* window = shownWindow(name);
        return window && !shownMessageBox() && act(window);
    };
}

UiRobot::Step UiRobot::acceptResult(Outcome* outcome) const {
    return inWindow("resultDialog", [outcome](QQuickWindow* result) {
        // Not before the window has fitted its height to the message.
        if (result->height() <= 1 || result->minimumHeight() <= 1)
            return false;
        outcome->message = result->property("message").toString();
        outcome->isError = result->property("isError").toBool();
        outcome->heightLocked = result->minimumHeight() == result->maximumHeight() &&
                                result->height() == result->minimumHeight();
        return click(result, "okButton");
    });
}

UiRobot::Step UiRobot::closePrompt() const {
    return inWindow("passwordDialog", [](QQuickWindow* dialog) {
        dialog->close(); // refused: the window hides and reports a dismissal
        return true;
    });
}

UiRobot::Step UiRobot::escapePrompt() const {
    return inWindow("passwordDialog", [](QQuickWindow* dialog) {
        // A person's key press goes to the window they look at, made active first.
        dialog->requestActivate();
        QTimer::singleShot(50, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
        return true;
    });
}
