#include "services/download_file.h"

#include <QDir>
#include <QFileInfo>

DownloadFile::DownloadFile(const QString& path) : file(path) {}

bool DownloadFile::open() {
    QDir().mkpath(QFileInfo(file.fileName()).absolutePath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool DownloadFile::append(const QByteArray& bytes) {
    hash.addData(bytes);
    return file.write(bytes) == bytes.size();
}

bool DownloadFile::finish() {
    const bool flushed = file.flush();
    file.close();
    return flushed && file.error() == QFileDevice::NoError;
}

void DownloadFile::discard() {
    file.close();
    file.remove();
}
