#include "services/file_picker.h"

#include <QFileDialog>

FilePicker::FilePicker(QObject* parent) : QObject(parent) {}

void FilePicker::pickFiles() {
    answer(QFileDialog::getOpenFileNames(nullptr, tr("Select files"), QString(),
                                         tr("All files (*.*)")));
}

void FilePicker::pickArchive() {
    const QString path = QFileDialog::getOpenFileName(nullptr, tr("Select archive"), QString(),
                                                      tr("Coffret / Zip (*.cfr *.zip)"));
    answer(path.isEmpty() ? QStringList() : QStringList{path});
}

QString FilePicker::takePendingFile() {
    QString path;
    path.swap(pending_);
    return path;
}

void FilePicker::receiveFile(const QString& path) {
    if (path.isEmpty())
        return;
    pending_ = path;
    emit fileReceived(path);
}

void FilePicker::answer(const QStringList& paths) {
    if (paths.isEmpty())
        emit cancelled();
    else
        emit picked(paths);
}
