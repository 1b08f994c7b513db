// A private X server for the tests that run the real program, and the ways a person acts
// on its windows: found by title, clicked with the mouse, typed into, photographed.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>

struct XWindow {
    QString id;
    QSize size;
    bool isValid() const { return !id.isEmpty(); }
};

class XSession {
public:
    XSession() = default;
    ~XSession();

    // The program beside the build, or an installed copy (scripts/check-install.sh).
    static QString program();
    // Starts Xvfb on a free display; false when none starts.
    bool start();
    QString display() const { return display_; }
    QProcessEnvironment environment() const;
    QByteArray x(const QString& tool, const QStringList& args) const;
    void launch(QProcess& process, const QStringList& args, const QProcessEnvironment& env) const;
    void launch(QProcess& process, const QStringList& args) const {
        launch(process, args, environment());
    }
    // True when the program ended by itself with code 0; otherwise it is killed.
    static bool finishedWithZero(QProcess& process);
    static void stop(QProcess& process);

    // The shown window whose title matches and whose width is `width` (any when 0), once its
    // size has settled (the result window fits its height to the message just after it is
    // shown); never the window `except`.
    XWindow waitForWindow(const QString& title, int width, int timeoutMs = 15000,
                          const QString& except = QString()) const;
    bool isShown(const XWindow& window) const;
    void clickAt(const XWindow& window, int x, int y, int button = 1) const;
    // Focuses the window and types the text, then presses the keys ("Return", "Tab").
    void type(const XWindow& window, const QString& text, const QStringList& keys = {}) const;
    void key(const XWindow& window, const QString& key) const { type(window, QString(), {key}); }
    // Saves the window as NAME.png when COFFRET_SCREENSHOT_DIR is set.
    void screenshot(const XWindow& window, const QString& name) const;
    // Asks the window to close the way a window manager does when the title bar's close
    // button is pressed (WM_DELETE_WINDOW); the server runs no window manager.
    bool closeLikeTitleBar(const XWindow& window) const;

private:
    QProcess server_;
    QString display_;
};
