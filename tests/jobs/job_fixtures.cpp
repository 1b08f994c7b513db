#include "job_fixtures.h"

#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace fixtures {

QString makeInputFolder(const QString& root, const QString& name) {
    const QString folder = QDir(root).filePath(name);
    testing::writeFile(folder + "/notes.txt", "notes of " + name.toUtf8() + "\n");
    testing::writeFile(folder + "/deep/data.bin", testing::noiseBytes(70000, 7));
    return folder;
}

bool bsdtarArchive(const QString& archive, const QString& workDir, const QStringList& members) {
    return testing::runTool("bsdtar", QStringList{"-caf", archive} + members, workDir).exitCode ==
           0;
}

bool aesZip(const QString& archive, const QString& workDir, const QStringList& members,
            const QString& password) {
    const QStringList args = QStringList{"a", "-tzip", "-mem=AES256", "-p" + password, archive};
    return testing::runTool("7z", args + members, workDir).exitCode == 0;
}

bool makeNoiseFiles(const QString& dir, int count, qint64 fileSize) {
    // Deflate looks back 32 KiB only, so repeating one large noise block keeps it
    // incompressible while sparing the time to generate all of it.
    const qint64 blockSize = 8 * 1024 * 1024;
    const QByteArray block = testing::noiseBytes(qMin(fileSize, blockSize), 11);
    QDir().mkpath(dir);
    for (int i = 0; i < count; ++i) {
        QFile file(QDir(dir).filePath(QStringLiteral("noise%1.bin").arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (qint64 written = 0; written < fileSize; written += block.size())
            if (file.write(block.constData(), qMin<qint64>(block.size(), fileSize - written)) < 0)
                return false;
    }
    return true;
}

QStringList listing(const QString& dir) {
    return QFileInfo(dir).isDir() ? testing::treeListing(dir) : QStringList();
}

} // namespace fixtures
