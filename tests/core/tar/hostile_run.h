// Runs one row of a hostile-archive table: the archive is extracted normally, on a "full"
// disk or with a cancel at the first chance, and the row states what the destination may
// hold afterwards.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QString>

namespace tartest {

// Relative path -> content of every file below a folder.
using Files = QMap<QString, QByteArray>;

enum Trouble {
    NoTrouble,
    // Writes past 1 MiB fail with EFBIG, as they would on a full disk.
    FullDisk,
    // The job is asked to stop at its first cancellation point.
    CancelAtOnce,
};

const qint64 kFullDiskBytes = 1024 * 1024;

// Writes bytes to dir/name and extracts it into dir/out.
int extractHostile(const QString& dir, const QString& name, const QByteArray& bytes,
                   Trouble trouble, const QString& password = QString());
Files filesIn(const QString& root);

} // namespace tartest

Q_DECLARE_METATYPE(tartest::Files)
Q_DECLARE_METATYPE(tartest::Trouble)
