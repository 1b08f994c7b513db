#include "quick_test_helper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QQuickWindow>

QuickTestHelper::QuickTestHelper(const QString& home, QObject* parent)
    : QObject(parent), home_(home) {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
    dialogTimer_.setInterval(50);
    connect(&dialogTimer_, &QTimer::timeout, this, &QuickTestHelper::answerShownDialog);
}

QuickTestHelper::~QuickTestHelper() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void QuickTestHelper::dragEnter(QQuickWindow* window, const QStringList& urls, bool andDrop) {
    QMimeData data;
    QList<QUrl> list;
    for (const QString& url : urls)
        list.append(QUrl(url, QUrl::TolerantMode));
    data.setUrls(list);
    const QPoint middle(window->width() / 2, window->height() / 2);
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (andDrop) {
        QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
    }
}

void QuickTestHelper::dragLeave(QQuickWindow* window) {
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(window, &leave);
}

void QuickTestHelper::answerNextDialog(const QString& answer) {
    pendingAnswer_ = answer;
    dialogTimer_.start();
}

void QuickTestHelper::answerShownDialog() {
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
