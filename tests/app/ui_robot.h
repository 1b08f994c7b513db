// Plays the user in the in-process window tests: finds the shown windows and presses their
// buttons while the program's own event loops run.
#pragma once

#include <QHash>
#include <QObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QTimer>

#include <functional>

class QMessageBox;

class UiRobot : public QObject {
    Q_OBJECT
public:
    // Returns true once it has done its part; until then it is tried again a moment later.
    using Step = std::function<bool()>;
    struct Outcome {
        QString message;
        bool isError = false;
        bool heightLocked = false;
    };

    explicit UiRobot(int timeoutMs = 30000);

    UiRobot& then(const QString& description, Step step);
    void start();

    bool finished() const { return steps_.isEmpty() && failure_.isEmpty(); }
    QString failure() const { return failure_; }
    // The object names of every window seen shown while the robot ran.
    QSet<QString> windowsSeen() const { return seen_; }

    // The window with that object name once it has stayed shown for a moment, or null.
    QQuickWindow* shownWindow(const QString& name) const;
    static QQuickItem* item(QQuickWindow* window, const QString& name);
    static QString text(QQuickWindow* window, const QString& name);
    // Clicks the middle of a visible item like a mouse would; false when it is not there.
    static bool click(QQuickWindow* window, const QString& name);
    static void type(QQuickWindow* window, const QString& field, const QString& text);
    static QMessageBox* shownMessageBox();

    // A step that acts on the named window once it is shown and no message box covers it.
    Step inWindow(const QString& name, std::function<bool(QQuickWindow*)> act) const;
    Step inPrompt(std::function<bool(QQuickWindow*)> act) const {
        return inWindow("passwordDialog", std::move(act));
    }
    // Waits for a message box, keeps its text and presses OK.
    static Step acceptMessageBox(QString* text);
    // Reads the result window, then presses its OK.
    Step acceptResult(Outcome* outcome) const;
    // The title bar's close button on the password window.
    Step closePrompt() const;
    Step escapePrompt() const;

private slots:
    void tick();

private:
    struct Pending {
        QString description;
        Step step;
    };
    void noteShownWindows();

    QTimer timer_;
    int timeoutMs_;
    qint64 deadline_ = 0;
    QList<Pending> steps_;
    QString failure_;
    QSet<QString> seen_;
    // How many ticks in a row each window has been shown.
    QHash<QWindow*, int> shownTicks_;
};
