// Real inputs and archives for the job tests, made in temporary folders.
#pragma once

#include <QString>
#include <QStringList>

namespace fixtures {

// A folder `name` below root holding two small files and a subfolder; returns its path.
QString makeInputFolder(const QString& root, const QString& name);

// Writes an archive of `members` (relative to workDir) with bsdtar, the format chosen by the
// archive's suffix. Returns false when bsdtar fails.
bool bsdtarArchive(const QString& archive, const QString& workDir, const QStringList& members);

// A zip of `members` (relative to workDir) encrypted with AES-256 by 7z.
bool aesZip(const QString& archive, const QString& workDir, const QStringList& members,
            const QString& password);

// `count` files of `fileSize` bytes each that no compressor shrinks.
bool makeNoiseFiles(const QString& dir, int count, qint64 fileSize);

// Sorted relative paths of the files and folders in dir, "" when dir does not exist.
QStringList listing(const QString& dir);

} // namespace fixtures
