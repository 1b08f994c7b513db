// The job thread against the real engine: batches, their failures and their folders.
#include "jobs/cfr_worker.h"

#include "job_fixtures.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Outcome {
    QList<double> progress;
    QStringList succeeded;
    QStringList failed;
};

// Runs the job to its end; what it reported is read only after its thread has ended.
Outcome runJob(const ArchiveJob& job) {
    CfrWorker worker(job);
    Outcome outcome;
    // Without a context object these run directly on the job's thread.
    QObject::connect(&worker, &CfrWorker::progress, [&](double f) { outcome.progress << f; });
    QObject::connect(&worker, &CfrWorker::succeeded,
                     [&](const QString& d) { outcome.succeeded << d; });
    QObject::connect(&worker, &CfrWorker::failed, [&](const QString& m) { outcome.failed << m; });
    worker.start();
    worker.wait();
    return outcome;
}

} // namespace

class TestCfrWorker : public QObject {
    Q_OBJECT

private slots:
    void init();

    void batchGoesOnPastAFailure();
    void batchSubfoldersAvoidTakenNames();

private:
    QString path(const QString& relative) const { return QDir(dir_->path()).filePath(relative); }
    bool makeTarArchive(const QString& archive, const QString& folderName);

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestCfrWorker::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

bool TestCfrWorker::makeTarArchive(const QString& archive, const QString& folderName) {
    fixtures::makeInputFolder(path("src"), folderName);
    return fixtures::bsdtarArchive(archive, path("src"), {folderName});
}

void TestCfrWorker::batchGoesOnPastAFailure() {
    QVERIFY(makeTarArchive(path("a.tar.gz"), "a"));
    // Encrypted, and the batch brings no password for it.
    QVERIFY(fixtures::aesZip(path("b.zip"), path("src/a"), {"notes.txt"}, "pw"));
    QVERIFY(makeTarArchive(path("c.tar.xz"), "c"));

    const Outcome outcome = runJob(ArchiveJob::extractBatch(
        {path("a.tar.gz"), path("b.zip"), path("c.tar.xz")}, {}, path("x"), false));
    QCOMPARE(outcome.succeeded, QStringList());
    QCOMPARE(outcome.failed, QStringList{"1 of 3 archive(s) failed: b.zip"});
    QCOMPARE(outcome.progress.last(), 1.0);
    QVERIFY(QFile::exists(path("x/a/deep/data.bin")));
    QVERIFY(QFile::exists(path("x/c/deep/data.bin")));
}

void TestCfrWorker::batchSubfoldersAvoidTakenNames() {
    // Two archives named "a" meet a folder "a"; two bare suffixes meet a file "extracted".
    QVERIFY(makeTarArchive(path("a.tar"), "one"));
    QVERIFY(makeTarArchive(path("a.tgz"), "two"));
    QVERIFY(makeTarArchive(path(".tar"), "three"));
    fixtures::makeInputFolder(path("src"), "four");
    QDir().mkpath(path("z"));
    QVERIFY(testing::runTool("zip", {"-qr", path("z/.zip"), "four"}, path("src")).exitCode == 0);
    QDir().mkpath(path("x/a"));
    QVERIFY(testing::writeFile(path("x/extracted"), "taken"));

    const Outcome outcome = runJob(ArchiveJob::extractBatch(
        {path("a.tar"), path("a.tgz"), path(".tar"), path("z/.zip")}, {}, path("x"), true));
    QCOMPARE(outcome.failed, QStringList());
    QCOMPARE(outcome.succeeded, QStringList{path("x")});
    QVERIFY(QFile::exists(path("x/a (1)/one/notes.txt")));
    QVERIFY(QFile::exists(path("x/a (2)/two/notes.txt")));
    QVERIFY(QFile::exists(path("x/extracted (1)/three/notes.txt")));
    QVERIFY(QFile::exists(path("x/extracted (2)/four/notes.txt")));
    QCOMPARE(fixtures::listing(path("x/a")), QStringList());
}

QTEST_GUILESS_MAIN(TestCfrWorker)
#include "tst_cfr_worker.moc"
