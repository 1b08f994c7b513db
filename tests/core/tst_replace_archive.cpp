// Packing over an existing archive with every writer: whatever stops the new one, the old
// bytes stay as they were and nothing is left beside them but, after a kill, a hidden
// temporary that no one takes for an archive.
#include "core_test_util.h"
#include "p7/p7_backend.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum Way { Replaced, MissingInput, FullDisk, Cancelled, Killed };
const QByteArray oldBytes = "the archive being replaced";

void killHalfway(void*, double fraction) {
    if (fraction >= 0.5)
        std::raise(SIGKILL);
}

// The pack, stopped the given way; -1 when the process was killed (in a child of its own).
int packStopped(Way way, QStringList inputs, const QString& dest, const QString& password) {
    coretest::ProgressLog log;
    log.cancelAfter = way == Cancelled ? 1 : -1;
    if (way == MissingInput)
        inputs.prepend(dest + ".missing");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    if (way == FullDisk) { // writes past the limit fail with EFBIG, as on a full disk
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{256 * 1024, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    if (way == Killed && ::fork() == 0) {
        const QByteArray input = inputs.first().toUtf8();
        const char* list[] = {input.constData()};
        cfr::pack(list, 1, dest.toUtf8().constData(), password.toUtf8().constData(), killHalfway,
                  nullptr);
        ::_exit(0);
    }
    int status = 0;
    const bool killed =
        way == Killed && ::wait(&status) > 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    const int result = killed          ? -1
                       : way == Killed ? 0
                                       : coretest::packPaths(inputs, dest, password, &log);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    return result;
}

} // namespace

class ReplaceArchiveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        cfr::setTempDir(temp_.path().toUtf8().constData());
        QVERIFY(testing::writeFile(input_.filePath("input.bin"), testing::noiseBytes(1 << 20)));
    }

    void oldArchiveSurvivesAnyStop_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("way");
        // One row per writer: compression filters and zip encryption take the same paths.
        const QStringList writers = {".tar", ".gz", ".7z secret", ".zip", ".cfr secret"};
        const char* ways[] = {"replaced", "missing input", "full disk", "cancelled", "killed"};
        for (const QString& writer : writers)
            for (int way = Replaced; way <= Killed; ++way)
                QTest::addRow("%s, %s", qPrintable(writer), ways[way])
                    << writer.section(' ', 0, 0) << writer.section(' ', 1) << way;
    }

    void oldArchiveSurvivesAnyStop() {
        QFETCH(QString, suffix);
        QFETCH(QString, password);
        QFETCH(int, way);
        if (suffix == ".7z" && !password.isEmpty() && !cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        QTemporaryDir folder;
        const QString dest = folder.filePath("archive" + suffix);
        QVERIFY(testing::writeFile(dest, oldBytes));
        QCOMPARE(::chmod(QFile::encodeName(dest).constData(), 0640), 0);

        const int result = packStopped(Way(way), {input_.filePath("input.bin")}, dest, password);
        QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(left.removeOne("archive" + suffix));
        if (way == Replaced) {
            QCOMPARE(result, int(cfr::Ok));
            QCOMPARE(testing::runTool("7z", {"t", "-p" + password, dest}).exitCode, 0);
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(dest).constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0640)); // the replaced file's, not 0600
        } else {
            QVERIFY(way == Cancelled ? result == cfr::Cancelled : result != cfr::Ok);
            QCOMPARE(testing::readFile(dest), oldBytes);
        }
        QCOMPARE(left.isEmpty(), way != Killed);
        for (const QString& name : left) {
            QVERIFY2(name.startsWith(".archive" + suffix + ".") && name.contains(".part"),
                     qPrintable(name));
            QCOMPARE(cfr::archiveKind(folder.filePath(name).toUtf8().constData()),
                     int(cfr::Unknown));
        }
    }

private:
    QTemporaryDir temp_;
    QTemporaryDir input_;
};

QTEST_GUILESS_MAIN(ReplaceArchiveTest)
#include "tst_replace_archive.moc"
