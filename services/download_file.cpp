#include "services/download_file.h"

#include <QDir>
#include <QFileInfo>

DownloadFile::DownloadFile(const QString& path) : file_(path) {}

bool DownloadFile::open() {
    QDir().mkpath(QFileInfo(file_.fileName()).absolutePath());
    return file_.open(QIODevice::WriteOnly);
}

bool DownloadFile::append(const QByteArray& bytes) {
    hash_.addData(bytes);
    return file_.write(bytes) == bytes.size();
}

bool DownloadFile::keep() {
    return file_.commit();
}

void DownloadFile::discard() {
    // A commit after cancelWriting() only closes and deletes the unfinished copy.
    file_.cancelWriting();
    if (file_.isOpen())
        file_.commit();
}
