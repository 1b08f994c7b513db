// What the QML tests cannot do from QML: write real files, make real archives, send real
// drag-and-drop events, answer the native dialogs the program opens, and see what it hands
// to the desktop's file handler.
#pragma once

#include "../app/pack_files.h"
#include "test_support.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
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

    Q_INVOKABLE bool writeFile(const QString& path, const QString& text) {
        return testing::writeFile(path, text.toUtf8());
    }
    Q_INVOKABLE QString readFile(const QString& path) const {
        return QString::fromUtf8(testing::readFile(path));
    }
    Q_INVOKABLE QString clipboard() const { return QGuiApplication::clipboard()->text(); }
    Q_INVOKABLE bool makeDir(const QString& path) { return QDir().mkpath(path); }
    Q_INVOKABLE bool exists(const QString& path) const { return QFileInfo::exists(path); }
    Q_INVOKABLE bool removeTree(const QString& path) { return QDir(path).removeRecursively(); }
    Q_INVOKABLE bool makeArchive(const QString& destination, const QStringList& inputs,
                                 const QString& password) {
        return packFiles(destination, inputs, password);
    }

    // Drag-and-drop events with these URLs, as a file manager would send them.
    Q_INVOKABLE void dragEnter(QQuickWindow* window, const QStringList& urls, bool andDrop = false);
    Q_INVOKABLE void dragLeave(QQuickWindow* window);
    Q_INVOKABLE void drop(QQuickWindow* window, const QStringList& urls) {
        dragEnter(window, urls, true);
    }

    // Answers the next native dialog: "yes", "no" or "ok" for a message box, a path for a
    // file dialog. Its text is kept in lastDialogText.
    Q_INVOKABLE void answerNextDialog(const QString& answer);

    Q_INVOKABLE void clearOpened() {
        opened_.clear();
        emit openedChanged();
    }

public slots:
    // The desktop's file handler while the tests run.
    void open(const QUrl& url) {
        opened_.append(url.toLocalFile());
        emit openedChanged();
    }

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
