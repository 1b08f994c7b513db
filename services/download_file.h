// The file a download is streamed into, with the SHA-256 of what was written so far. Nothing
// appears under its name until the download is kept, so a failed download neither leaves a
// partial file nor destroys an earlier one of the same name.
#pragma once

#include <QCryptographicHash>
#include <QSaveFile>

class DownloadFile {
public:
    explicit DownloadFile(const QString& path);

    // Creates the folder when missing and opens the file for writing.
    bool open();
    bool append(const QByteArray& bytes);
    // Puts the complete file in place, replacing an earlier one; false when the data could
    // not all be written.
    bool keep();
    // Throws away what was written; an earlier file of the same name stays as it was.
    void discard();

    QString errorString() const { return file_.errorString(); }
    QString sha256Hex() const { return QString::fromLatin1(hash_.result().toHex()); }

private:
    QSaveFile file_;
    QCryptographicHash hash_{QCryptographicHash::Sha256};
};
