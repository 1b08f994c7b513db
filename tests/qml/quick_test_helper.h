// What the QML tests cannot do from QML: write real files, make real archives, send real
// drag-and-drop events, answer the native dialogs the program opens, and see what it hands
// to the desktop's file handler.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

class QQuickWindow;

class QuickTestHelper : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString home READ home CONSTANT)
    Q_PROPERTY(QStringList opened READ opened NOTIFY openedChanged)
    Q_PROPERTY(QString lastDialogText READ lastDialogText NOTIFY dialogAnswered)

public:
    explicit QuickTestHelper(const QString& home, QObject* parent = nullptr);
    ~QuickTestHelper() override;

    QString home() const { return home_; }
    QStringList opened() const { return opened_; }
    QString lastDialogText() const { return lastDialogText_; }

    Q_INVOKABLE bool writeFile(const QString& path, const QString& text);
    Q_INVOKABLE QString readFile(const QString& path) const;
    Q_INVOKABLE bool makeDir(const QString& path);
    Q_INVOKABLE bool exists(const QString& path) const;
    Q_INVOKABLE bool removeTree(const QString& path);
    // A real archive of the given files, written by the engine; true on success.
    Q_INVOKABLE bool makeArchive(const QString& destination, const QStringList& inputs,
                                 const QString& password);

    // Drag-and-drop events with these URLs, as a file manager would send them.
    Q_INVOKABLE void dragEnter(QQuickWindow* window, const QStringList& urls);
    Q_INVOKABLE void dragLeave(QQuickWindow* window);
    Q_INVOKABLE void drop(QQuickWindow* window, const QStringList& urls);

    // Answers the next native dialog: "yes", "no" or "ok" for a message box, a path for a
    // file dialog. Its text is kept in lastDialogText.
    Q_INVOKABLE void answerNextDialog(const QString& answer);

    Q_INVOKABLE void clearOpened();

public slots:
    // The desktop's file handler while the tests run.
    void open(const QUrl& url);

signals:
    void openedChanged();
    void dialogAnswered();

private:
    void answerShownDialog();

    QString home_;
    QStringList opened_;
    QString lastDialogText_;
    QString pendingAnswer_;
    bool answered_ = false;
    QTimer dialogTimer_;
};
