#include "test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>

namespace testing {

ToolRun runTool(const QString& program, const QStringList& args, const QString& workDir) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(program, args);
    ToolRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.out = process.readAll();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray noiseBytes(qint64 size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(int(size), Qt::Uninitialized);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), int(size / 4));
    for (qint64 i = size / 4 * 4; i < size; ++i)
        bytes[int(i)] = char(generator.generate());
    return bytes;
}

QStringList treeListing(const QString& root) {
    QStringList entries;
    QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        QString relative = base.relativeFilePath(it.filePath());
        if (it.fileInfo().isDir() && !it.fileInfo().isSymLink())
            relative += '/';
        entries << relative;
    }
    entries.sort();
    return entries;
}

QString testData(const QString& relative) {
    return QStringLiteral(COFFRET_TESTDATA) + '/' + relative;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    set_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = old_;
    capped.rlim_cur = bytes;
    set_ = set_ && ::setrlimit(RLIMIT_FSIZE, &capped) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
}

TemporaryHome::TemporaryHome() : saved_(QProcessEnvironment::systemEnvironment()) {
    const QString home = dir_.path();
    QDir().mkpath(home + "/.config");
    QDir().mkpath(home + "/.local/share");
    QDir().mkpath(home + "/Documents");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_CACHE_HOME", (home + "/.cache").toUtf8());
}

TemporaryHome::~TemporaryHome() {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        if (saved_.contains(name))
            qputenv(name, saved_.value(name).toUtf8());
        else
            qunsetenv(name);
    }
}

} // namespace testing
