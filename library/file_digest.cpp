#include "library/file_digest.h"

#include "library/sha256_stream.h"

#include <QFile>
#include <QFileInfo>

QString fileDigest(const QString& path) {
    // A named pipe or device would block or never end: only regular files have a digest.
    if (!QFileInfo(path).isFile())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QString();
    Sha256Stream hash;
    if (!hash.addDevice(file))
        return QString();
    return hash.hexResult();
}
