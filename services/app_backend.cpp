#include "services/app_backend.h"

#include "services/app_settings.h"
#include "services/directories_dialog.h"
#include "services/password_rules.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QQuickWindow>

namespace {

QString orDefault(const QString& text, const QString& fallback) {
    return text.isEmpty() ? fallback : text;
}

} // namespace

AppBackend::AppBackend(QObject* parent)
    : QObject(parent), dialogParent_(std::make_unique<QWidget>(nullptr, Qt::WindowStaysOnTopHint)) {
}

AppBackend::~AppBackend() = default;

void AppBackend::setMainWindow(QQuickWindow* window) {
    if (mainWindow_ == window)
        return;
    mainWindow_ = window;
    emit mainWindowChanged();
}

QStringList AppBackend::getOpenFileNames(const QString& caption) {
    return QFileDialog::getOpenFileNames(dialogParent(),
                                         orDefault(caption, tr("Select files to pack")), QString(),
                                         tr("All files (*.*)"));
}

QStringList AppBackend::getExistingDirectories(const QString& caption) {
    std::unique_ptr<QFileDialog> dialog(createDirectoriesDialog(
        dialogParent(), orDefault(caption, tr("Select directories to pack"))));
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}

QString AppBackend::getSaveFileName(const QString& caption, const QString& filter) {
    return QFileDialog::getSaveFileName(
        dialogParent(), orDefault(caption, tr("Save packed file")), QString(),
        orDefault(filter, tr("cfr pack file (*.cfr);;zip file (*.zip)")));
}

QString AppBackend::getExistingDirectory(const QString& caption, const QString& dir) {
    return QFileDialog::getExistingDirectory(
        dialogParent(), orDefault(caption, tr("Choose directory")), dir, QFileDialog::ShowDirsOnly);
}

bool AppBackend::pathExists(const QString& path) const {
    return QFileInfo::exists(path);
}

QString AppBackend::generateRandomPassword() {
    return makeRandomPassword();
}

bool AppBackend::isStrongPassword(const QString& pw) {
    return isStrongPasswordText(pw);
}

void AppBackend::copyToClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void AppBackend::showMessageBox(const QString& title, const QString& message, const QString& type) {
    if (type == QLatin1String("warning"))
        QMessageBox::warning(dialogParent(), title, message, QMessageBox::Ok,
                             QMessageBox::NoButton);
    else if (type == QLatin1String("critical"))
        QMessageBox::critical(dialogParent(), title, message, QMessageBox::Ok,
                              QMessageBox::NoButton);
    else
        QMessageBox::information(dialogParent(), title, message, QMessageBox::Ok,
                                 QMessageBox::NoButton);
}

bool AppBackend::confirm(const QString& title, const QString& message) {
    return QMessageBox::question(dialogParent(), title, message, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::NoButton) == QMessageBox::Yes;
}

QString AppBackend::getSetting(const QString& key, const QString& defaultValue) {
    return readAppSetting(key, defaultValue);
}

void AppBackend::setSetting(const QString& key, const QString& value) {
    writeAppSetting(key, value);
}
