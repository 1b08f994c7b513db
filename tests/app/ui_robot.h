// Plays the user in the in-process window tests: finds the shown windows and presses their
// buttons while the program's own event loops run.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>

class QMessageBox;

class UiRobot : public QObject {
    Q_OBJECT
public:
    // Returns true once it has done its part; until then it is tried again a moment later.
    using Step = std::function<bool()>;

    explicit UiRobot(int timeoutMs = 30000);

    UiRobot& then(const QString& description, Step step);
    void start();

    // Every step done, nothing timed out.
    bool finished() const { return steps_.isEmpty() && failure_.isEmpty(); }
    QString failure() const { return failure_; }
    // The object names of every window seen shown while the robot ran.
    QSet<QString> windowsSeen() const { return seen_; }

    // The window with that object name once it has stayed shown for a moment (laid out and
    // painted), or null.
    QQuickWindow* shownWindow(const QString& name) const;
    static QQuickItem* item(QQuickWindow* window, const QString& name);
    // Clicks the middle of a visible item like a mouse would; false when it is not there.
    static bool click(QQuickWindow* window, const QString& name);
    // Focuses the field and types the text key by key.
    static void type(QQuickWindow* window, const QString& field, const QString& text);
    static void pressEscape(QQuickWindow* window);
    static QMessageBox* shownMessageBox();
    // A step that waits for a message box, keeps its text and presses OK.
    static Step acceptMessageBox(QString* text);

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
