// Packing over an existing archive: whatever stops the new one (a missing input, a full disk,
// a cancel, a killed process), the old bytes stay as they were and no temporary is left
// beside them, except the hidden one a killed process cannot remove.
#include "p7/p7_ops.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Way { Replaced, MissingInput, FullDisk, Cancelled, Killed };

const QByteArray oldBytes = "the archive being replaced";
const qint64 inputSize = 1024 * 1024;

// Writes beyond the limit fail with EFBIG, which the writers meet as they would a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

void killSelfHalfway(void*, double fraction) {
    if (fraction >= 0.5)
        std::raise(SIGKILL);
}

// Runs the pack in a child process that kills itself half-way; true when it died that way.
bool packKilledHalfway(const QStringList& inputs, const QString& dest, const QString& password) {
    const pid_t child = ::fork();
    if (child == 0) {
        const QByteArray input = inputs.first().toUtf8();
        const char* list[] = {input.constData()};
        cfr::pack(list, 1, dest.toUtf8().constData(), password.toUtf8().constData(),
                  killSelfHalfway, nullptr);
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) &&
           WTERMSIG(status) == SIGKILL;
}

} // namespace

Q_DECLARE_METATYPE(Way)

class ReplaceArchiveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(temp_.isValid());
        cfr::setTempDir(QDir(temp_.path()).filePath("engine").toUtf8().constData());
        QVERIFY(QDir().mkpath(temp_.path() + "/engine"));
        QVERIFY(testing::writeFile(temp_.path() + "/input.bin", testing::noiseBytes(inputSize)));
    }

    void oldArchiveSurvivesAnyStop_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("password");
        QTest::addColumn<Way>("way");
        const QList<QPair<QString, QString>> writers = {
            {".tar", ""},      {".tar.xz", ""}, {".gz", ""},        {".7z", ""},
            {".7z", "secret"}, {".zip", ""},    {".zip", "secret"}, {".cfr", "secret"}};
        const QList<QPair<const char*, Way>> ways = {{"replaced", Way::Replaced},
                                                     {"missing input", Way::MissingInput},
                                                     {"full disk", Way::FullDisk},
                                                     {"cancelled", Way::Cancelled},
                                                     {"killed", Way::Killed}};
        for (const auto& writer : writers)
            for (const auto& way : ways)
                QTest::addRow("%s%s, %s", qPrintable(writer.first),
                              writer.second.isEmpty() ? "" : " with password", way.first)
                    << writer.first << writer.second << way.second;
    }

    void oldArchiveSurvivesAnyStop() {
        QFETCH(QString, suffix);
        QFETCH(QString, password);
        QFETCH(Way, way);
        if (suffix == ".7z" && !password.isEmpty() && !cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        QTemporaryDir folder;
        const QString dest = folder.filePath("archive" + suffix);
        QVERIFY(testing::writeFile(dest, oldBytes));
        QCOMPARE(::chmod(QFile::encodeName(dest).constData(), 0640), 0);
        QStringList inputs{temp_.path() + "/input.bin"};

        tartest::ProgressLog log;
        int result = -1; // none when the process was killed
        switch (way) {
        case Way::Replaced:
            result = tartest::packPaths(inputs, dest, password);
            break;
        case Way::MissingInput:
            inputs.prepend(folder.filePath("not there"));
            result = tartest::packPaths(inputs, dest, password);
            break;
        case Way::FullDisk: {
            const FileSizeLimit limit(inputSize / 4);
            result = tartest::packPaths(inputs, dest, password);
            break;
        }
        case Way::Cancelled:
            log.cancelAfter = 1;
            result = tartest::packPaths(inputs, dest, password, &log);
            QCOMPARE(result, int(cfr::Cancelled));
            break;
        case Way::Killed:
            QVERIFY(packKilledHalfway(inputs, dest, password));
            break;
        }

        QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        left.removeOne("archive" + suffix);
        if (way == Way::Replaced) {
            QCOMPARE(result, int(cfr::Ok));
            QCOMPARE(testing::runTool("7z", {"t", "-p" + password, dest}).exitCode, 0);
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(dest).constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0640)); // the replaced file's, not the temporary's
            QCOMPARE(left, QStringList());
            return;
        }
        QVERIFY(result != cfr::Ok);
        QCOMPARE(testing::readFile(dest), oldBytes);
        if (way != Way::Killed) {
            QCOMPARE(left, QStringList());
            return;
        }
        // What a killed pack leaves is hidden and named so that nothing takes it for an archive.
        QVERIFY(!left.isEmpty());
        for (const QString& name : left) {
            QVERIFY2(name.startsWith(".archive" + suffix + ".") && name.contains(".part"),
                     qPrintable(name));
            QCOMPARE(cfr::archiveKind(folder.filePath(name).toUtf8().constData()),
                     int(cfr::Unknown));
        }
    }

private:
    QTemporaryDir temp_;
};

QTEST_GUILESS_MAIN(ReplaceArchiveTest)
#include "tst_replace_archive.moc"
