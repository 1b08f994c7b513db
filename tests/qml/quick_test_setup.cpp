// The set-up of every Qt Quick Test program: a private HOME, the program's real QML module,
// the touch interface's `Theme` and `Str`, and a QuickTestHelper as the context property
// "TestHelper" for what the QML tests cannot do from QML: write real files, make real
// archives, send real drag-and-drop events, answer the native dialogs the program opens, and
// see what it hands to the desktop's file handler.
#include "../app/pack_files.h"
#include "app/qml_module.h"
#include "app/touch_context.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTimer>
#include <QtQuickTest>

#include <vector>

class QuickTestHelper : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString home MEMBER home_ CONSTANT)
    Q_PROPERTY(QStringList opened MEMBER opened_ NOTIFY openedChanged)
    Q_PROPERTY(QString lastDialogText MEMBER lastDialogText_ NOTIFY dialogAnswered)

public:
    QuickTestHelper(const QString& home, QObject* parent) : QObject(parent), home_(home) {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
        dialogTimer_.setInterval(50);
        connect(&dialogTimer_, &QTimer::timeout, this, &QuickTestHelper::answerShownDialog);
    }
    ~QuickTestHelper() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

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

    // Drag-and-drop events with these URLs, as a file manager would send them: the drag
    // entering the window, and with `andDrop` the drop.
    Q_INVOKABLE void drag(QQuickWindow* window, const QStringList& urls, bool andDrop) {
        QMimeData data;
        data.setUrls(QUrl::fromStringList(urls, QUrl::TolerantMode));
        const QPoint middle(window->width() / 2, window->height() / 2);
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (andDrop)
            QCoreApplication::sendEvent(window, &drop);
    }
    Q_INVOKABLE void dragLeave(QQuickWindow* window) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(window, &leave);
    }

    // Answers the next native dialog: "yes", "no" or "ok" for a message box, a path for a
    // file dialog. Its text is kept in lastDialogText.
    Q_INVOKABLE void answerNextDialog(const QString& answer) {
        pendingAnswer_ = answer;
        dialogTimer_.start();
    }

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
    void answerShownDialog() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && answered_) {
            answered_ = false;
            dialogTimer_.stop();
            emit dialogAnswered();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            lastDialogText_ = box->text();
            const QMessageBox::StandardButton which =
                pendingAnswer_ == QLatin1String("yes")  ? QMessageBox::Yes
                : pendingAnswer_ == QLatin1String("no") ? QMessageBox::No
                                                        : QMessageBox::Ok;
            if (QAbstractButton* button = box->button(which))
                button->click();
        } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            lastDialogText_ = chooser->windowTitle();
            // Typed, as a person would: selectFile() waits for the folder to be listed.
            if (auto* edit = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                edit->setText(pendingAnswer_);
            QMetaObject::invokeMethod(chooser, "accept"); // protected, but a slot
        } else {
            return;
        }
        // Kept on until the dialog is gone: a file dialog still listing its folder may refuse
        // the first answer.
        answered_ = true;
    }

    QString home_;
    QStringList opened_;
    QString lastDialogText_;
    QString pendingAnswer_;
    bool answered_ = false;
    QTimer dialogTimer_;
};

class QuickTestSetup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine* engine) {
        registerQmlTypes(QCoreApplication::instance());
        installTouchContext(*engine, QLocale::system().name());
        engine->rootContext()->setContextProperty(QStringLiteral("TestHelper"),
                                                  new QuickTestHelper(home_.path(), engine));
    }

private:
    // Made before the application object, so every store opens under it.
    testing::TemporaryHome home_;
};

// QUICK_TEST_MAIN_WITH_SETUP, with a QApplication: the program's native dialogs are widgets.
int main(int argc, char** argv) {
    QuickTestSetup setup;
    std::vector<char*> args(argv, argv + argc);
    char widgets[] = "-widgets";
    args.push_back(widgets);
    return quick_test_main_with_setup(int(args.size()), args.data(), "coffret_qml",
                                      QUICK_TEST_SOURCE_DIR, &setup);
}

#include "quick_test_setup.moc"
