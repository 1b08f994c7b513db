// Small helpers shared by the test programs: real files, real tools, a private HOME.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace testing {

struct ToolRun {
    int exitCode = -1;
    QByteArray out; // standard output and error, merged
};

// Runs a command-line tool nobody here wrote and waits for it (two minutes at most).
ToolRun runTool(const QString& program, const QStringList& args,
                const QString& workDir = QString());

bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Deterministic bytes that do not compress, for sizes that matter.
QByteArray noiseBytes(qint64 size, quint32 seed = 1);

// Relative paths of every file and folder below root ("dir/", "dir/file"), sorted.
QStringList treeListing(const QString& root);

// An archive kept in tests/data/ because no free tool can make it (RAR).
QString testData(const QString& relative);

// Caps the size of every file this process writes while it lives, as a full disk would: a
// write beyond the cap fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// Points HOME and the XDG folders at a fresh temporary folder for the object's lifetime.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    QString path() const { return dir_.path(); }
    bool isValid() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
    QProcessEnvironment saved_;
};

} // namespace testing
