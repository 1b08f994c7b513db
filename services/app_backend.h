// Desktop facilities that QML lacks: native choosers, message boxes, the clipboard, random
// passwords and the settings store.
#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QStringList>

#include <memory>

class QWidget;

class AppBackend : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        QQuickWindow* mainWindow READ mainWindow WRITE setMainWindow NOTIFY mainWindowChanged)

public:
    explicit AppBackend(QObject* parent = nullptr);
    ~AppBackend() override;

    QQuickWindow* mainWindow() const { return mainWindow_; }
    void setMainWindow(QQuickWindow* window);

    Q_INVOKABLE QStringList getOpenFileNames(const QString& caption = QString());
    Q_INVOKABLE QStringList getExistingDirectories(const QString& caption = QString());
    Q_INVOKABLE QString getSaveFileName(const QString& caption = QString(),
                                        const QString& filter = QString());
    Q_INVOKABLE QString getExistingDirectory(const QString& caption = QString(),
                                             const QString& dir = QString());
    // Whether anything is at path: a name the window changes after the save dialog has not
    // been checked by that dialog.
    Q_INVOKABLE bool pathExists(const QString& path) const;

    Q_INVOKABLE QString generateRandomPassword();
    Q_INVOKABLE bool isStrongPassword(const QString& pw);
    Q_INVOKABLE void copyToClipboard(const QString& text);

    Q_INVOKABLE void showMessageBox(const QString& title, const QString& message,
                                    const QString& type = QStringLiteral("info"));
    Q_INVOKABLE bool confirm(const QString& title, const QString& message);

    Q_INVOKABLE QString getSetting(const QString& key, const QString& defaultValue = QString());
    Q_INVOKABLE void setSetting(const QString& key, const QString& value);

    // The hidden always-on-top parent of every dialog, which keeps them above the QML window.
    QWidget* dialogParent() const { return dialogParent_.get(); }

signals:
    void mainWindowChanged();

private:
    QPointer<QQuickWindow> mainWindow_;
    std::unique_ptr<QWidget> dialogParent_;
};
