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
    process.setWorkingDirectory(workDir); // none: this process's own
    process.start(program, args);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) { // also false when it never started
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAll()};
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
    QByteArray bytes(int(size + 3) & ~3, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    bytes.truncate(int(size));
    return bytes;
}

QStringList treeListing(const QString& root) {
    QStringList entries;
    QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString relative = base.relativeFilePath(it.next());
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
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit capped{bytes, old_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &capped);
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
}

namespace {
const char* const homeVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};
const char* const homeFolders[] = {"", "/.config", "/.local/share", "/.cache"};
} // namespace

TemporaryHome::TemporaryHome() : saved_(QProcessEnvironment::systemEnvironment()) {
    QDir().mkpath(dir_.path() + "/Documents");
    for (int i = 0; i < 4; ++i) {
        QDir().mkpath(dir_.path() + homeFolders[i]);
        qputenv(homeVariables[i], (dir_.path() + homeFolders[i]).toUtf8());
    }
}

TemporaryHome::~TemporaryHome() {
    for (const char* name : homeVariables) {
        if (saved_.contains(name))
            qputenv(name, saved_.value(name).toUtf8());
        else
            qunsetenv(name);
    }
}

} // namespace testing
