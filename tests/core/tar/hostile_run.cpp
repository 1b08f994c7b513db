#include "hostile_run.h"

#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QDirIterator>

#include <csignal>
#include <sys/resource.h>

namespace tartest {
namespace {

// Lowers the file size limit for its lifetime; SIGXFSZ is ignored so that the write fails
// instead of the process dying.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit saved_;
    void (*handler_)(int);
};

} // namespace

int extractHostile(const QString& dir, const QString& name, const QByteArray& bytes,
                   Trouble trouble, const QString& password) {
    const QString archive = dir + '/' + name;
    if (!testing::writeFile(archive, bytes))
        return -1;
    const QString dest = dir + "/out";
    if (trouble == FullDisk) {
        const FileSizeLimit limit(kFullDiskBytes);
        return extractTo(archive, dest, password);
    }
    ProgressLog log;
    if (trouble == CancelAtOnce)
        log.stopWhen = [] { return true; };
    return extractTo(archive, dest, password, &log);
}

Files filesIn(const QString& root) {
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), testing::readFile(path));
    }
    return files;
}

} // namespace tartest
