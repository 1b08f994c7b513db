#include "library/folder_digest.h"

#include "library/folder_files.h"
#include "library/sha256_stream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString folderDigest(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return QString();
    const QDir base(folder);
    Sha256Stream hash;
    for (const QString& relative : visibleFilesBelow(folder)) {
        hash.addData(relative.toUtf8());
        hash.addData("\0", 1);
        QFile file(base.absoluteFilePath(relative));
        if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            hash.addDevice(file);
    }
    return hash.hexResult();
}
