#include "services/download_file.h"

#include <QDir>
#include <QFileInfo>

DownloadFile::DownloadFile(const QString& path) : file(path) {}

bool DownloadFile::open() {
    QDir().mkpath(QFileInfo(file.fileName()).absolutePath());
    return file.open(QIODevice::WriteOnly);
}

bool DownloadFile::append(const QByteArray& bytes) {
    hash.addData(bytes);
    return file.write(bytes) == bytes.size();
}

bool DownloadFile::keep() {
    return file.commit();
}

void DownloadFile::discard() {
    // A commit after cancelWriting() only closes and deletes the unfinished copy.
    file.cancelWriting();
    if (file.isOpen())
        file.commit();
}
