// The file a download is streamed into, with the SHA-256 of what was written so far.
#pragma once

#include <QCryptographicHash>
#include <QFile>

class DownloadFile {
public:
    explicit DownloadFile(const QString& path);

    // Creates the folder when missing and opens the file, truncating an earlier one.
    bool open();
    bool append(const QByteArray& bytes);
    // Flushes and closes; false when the data could not all be written.
    bool finish();
    // Closes and deletes the file.
    void discard();

    QString errorString() const { return file.errorString(); }
    QString sha256Hex() const { return QString::fromLatin1(hash.result().toHex()); }

private:
    QFile file;
    QCryptographicHash hash{QCryptographicHash::Sha256};
};
