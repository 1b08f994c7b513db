#include "quick_test_helper.h"

#include "cfr.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QQuickWindow>

#include <vector>

namespace {

QMimeData* urlData(const QStringList& urls) {
    auto* data = new QMimeData;
    QList<QUrl> list;
    for (const QString& url : urls)
        list.append(QUrl(url, QUrl::TolerantMode));
    data->setUrls(list);
    return data;
}

QPoint middle(QQuickWindow* window) {
    return QPoint(window->width() / 2, window->height() / 2);
}

} // namespace

QuickTestHelper::QuickTestHelper(const QString& home, QObject* parent)
    : QObject(parent), home_(home) {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
    dialogTimer_.setInterval(50);
    connect(&dialogTimer_, &QTimer::timeout, this, &QuickTestHelper::answerShownDialog);
}

QuickTestHelper::~QuickTestHelper() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

bool QuickTestHelper::writeFile(const QString& path, const QString& text) {
    return testing::writeFile(path, text.toUtf8());
}

QString QuickTestHelper::readFile(const QString& path) const {
    return QString::fromUtf8(testing::readFile(path));
}

bool QuickTestHelper::makeDir(const QString& path) {
    return QDir().mkpath(path);
}

bool QuickTestHelper::exists(const QString& path) const {
    return QFileInfo::exists(path);
}

bool QuickTestHelper::removeTree(const QString& path) {
    return QDir(path).removeRecursively();
}

bool QuickTestHelper::makeArchive(const QString& destination, const QStringList& inputs,
                                  const QString& password) {
    std::vector<QByteArray> paths;
    for (const QString& input : inputs)
        paths.push_back(input.toUtf8());
    std::vector<const char*> names;
    for (const QByteArray& path : paths)
        names.push_back(path.constData());
    const QByteArray pw = password.toUtf8();
    return cfr::pack(names.data(), int(names.size()), destination.toUtf8().constData(),
                     password.isEmpty() ? nullptr : pw.constData(), nullptr, nullptr) == cfr::Ok;
}

void QuickTestHelper::dragEnter(QQuickWindow* window, const QStringList& urls) {
    std::unique_ptr<QMimeData> data(urlData(urls));
    QDragEnterEvent enter(middle(window), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
}

void QuickTestHelper::dragLeave(QQuickWindow* window) {
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(window, &leave);
}

void QuickTestHelper::drop(QQuickWindow* window, const QStringList& urls) {
    std::unique_ptr<QMimeData> data(urlData(urls));
    QDragEnterEvent enter(middle(window), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDropEvent drop(middle(window), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
}

void QuickTestHelper::answerNextDialog(const QString& answer) {
    pendingAnswer_ = answer;
    dialogTimer_.start();
}

void QuickTestHelper::clearOpened() {
    opened_.clear();
    emit openedChanged();
}

void QuickTestHelper::open(const QUrl& url) {
    opened_.append(url.toLocalFile());
    emit openedChanged();
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
