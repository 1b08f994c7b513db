// The job thread against the real engine: outcomes, messages, batches and their progress.
#include "core/cfr.h"
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
Outcome runToEnd(CfrWorker& worker) {
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

Outcome runJob(int mode, const QStringList& sources, const QString& dest,
               const QString& password = QString(), const QStringList& passwords = {},
               bool subfolder = false) {
    CfrWorker worker;
    worker.mode = mode;
    worker.sources = sources;
    worker.dest = dest;
    worker.password = password;
    worker.passwords = passwords;
    worker.subfolder = subfolder;
    return runToEnd(worker);
}

} // namespace

class TestCfrWorker : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void outcome_data();
    void outcome();
    void unicodeNamesReachTheArchive();
    void batchGoesOnPastAFailure();
    void batchSubfoldersAvoidTakenNames();
    void batchProgressSpansTheWholeBatch();

private:
    QString path(const QString& relative) const { return QDir(dir_->path()).filePath(relative); }
    bool makeTarArchive(const QString& archive, const QString& folderName);

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestCfrWorker::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestCfrWorker::cleanup() {
    QDir::setCurrent(QDir::tempPath());
}

bool TestCfrWorker::makeTarArchive(const QString& archive, const QString& folderName) {
    fixtures::makeInputFolder(path("src"), folderName);
    return fixtures::bsdtarArchive(archive, path("src"), {folderName});
}

void TestCfrWorker::outcome_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("dest");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message"); // empty: success, reported with dest unchanged

    const QStringList input{"in"};
    QTest::newRow("pack, destination passed back as given")
        << int(CfrWorker::Pack) << input << "out/./a.tar.gz" << QString() << QString();
    QTest::newRow("pack to rar") << int(CfrWorker::Pack) << input << "out/a.rar" << QString()
                                 << "Unsupported format";
    QTest::newRow("pack nothing") << int(CfrWorker::Pack) << QStringList() << "out/a.tar"
                                  << QString() << "Operation failed";
    QTest::newRow("pack into a folder that cannot be made")
        << int(CfrWorker::Pack) << input << "blocker/a.tar" << QString() << "Cannot open file";
    QTest::newRow("extract a missing archive")
        << int(CfrWorker::Extract) << QStringList{"missing.tar.gz"} << "x" << QString()
        << "Cannot open file";
    QTest::newRow("extract with the wrong password")
        << int(CfrWorker::Extract) << QStringList{"secret.zip"} << "x"
        << "wrong"
        << "Wrong password or corrupt file";
    QTest::newRow("extract with the right password")
        << int(CfrWorker::Extract) << QStringList{"secret.zip"} << "x"
        << "right" << QString();
}

void TestCfrWorker::outcome() {
    QFETCH(int, mode);
    QFETCH(QStringList, sources);
    QFETCH(QString, dest);
    QFETCH(QString, password);
    QFETCH(QString, message);

    fixtures::makeInputFolder(dir_->path(), "in");
    QVERIFY(fixtures::aesZip(path("secret.zip"), path("in"), {"notes.txt"}, "right"));
    QDir().mkpath(path("out"));
    QVERIFY(testing::writeFile(path("blocker"), "a file where a folder would have to be"));
    QDir::setCurrent(dir_->path());

    const Outcome outcome = runJob(mode, sources, dest, password);
    if (message.isEmpty()) {
        QCOMPARE(outcome.failed, QStringList());
        QCOMPARE(outcome.succeeded, QStringList{dest});
        QVERIFY(!outcome.progress.isEmpty());
        QCOMPARE(outcome.progress.last(), 1.0);
    } else {
        QCOMPARE(outcome.succeeded, QStringList());
        QCOMPARE(outcome.failed, QStringList{message});
    }
}

void TestCfrWorker::unicodeNamesReachTheArchive() {
    const QString folder = fixtures::makeInputFolder(dir_->path(), QStringLiteral("données 日本"));
    const QString archive = path(QStringLiteral("été ✓.tar"));

    const Outcome outcome = runJob(CfrWorker::Pack, {folder}, archive);
    QCOMPARE(outcome.succeeded, QStringList{archive});

    const testing::ToolRun list = testing::runTool("bsdtar", {"-tf", archive});
    QCOMPARE(list.exitCode, 0);
    QVERIFY2(QString::fromUtf8(list.out).contains(QStringLiteral("données 日本/deep/data.bin")),
             list.out.constData());
}

void TestCfrWorker::batchGoesOnPastAFailure() {
    QVERIFY(makeTarArchive(path("a.tar.gz"), "a"));
    // Encrypted, and the batch brings no password for it.
    QVERIFY(fixtures::aesZip(path("b.zip"), path("src/a"), {"notes.txt"}, "pw"));
    QVERIFY(makeTarArchive(path("c.tar.xz"), "c"));

    const Outcome outcome = runJob(CfrWorker::ExtractBatch,
                                   {path("a.tar.gz"), path("b.zip"), path("c.tar.xz")}, path("x"));
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

    const Outcome outcome = runJob(CfrWorker::ExtractBatch,
                                   {path("a.tar"), path("a.tgz"), path(".tar"), path("z/.zip")},
                                   path("x"), QString(), {}, true);
    QCOMPARE(outcome.failed, QStringList());
    QCOMPARE(outcome.succeeded, QStringList{path("x")});
    QVERIFY(QFile::exists(path("x/a (1)/one/notes.txt")));
    QVERIFY(QFile::exists(path("x/a (2)/two/notes.txt")));
    QVERIFY(QFile::exists(path("x/extracted (1)/three/notes.txt")));
    QVERIFY(QFile::exists(path("x/extracted (2)/four/notes.txt")));
    QCOMPARE(fixtures::listing(path("x/a")), QStringList());
}

void TestCfrWorker::batchProgressSpansTheWholeBatch() {
    QStringList archives;
    for (const QString& name : QStringList{"p", "q", "s"}) {
        fixtures::makeInputFolder(path("src"), name);
        archives << path(name + ".tar.gz");
        QVERIFY(fixtures::bsdtarArchive(archives.last(), path("src"), {name}));
    }
    // The reader's fraction after one 4 MiB file is one half.
    QVERIFY(testing::writeFile(path("src/big.bin"), testing::noiseBytes(4 * 1024 * 1024)));
    archives.insert(2, path("r.tar.gz"));
    QVERIFY(fixtures::bsdtarArchive(archives[2], path("src"), {"big.bin"}));

    // Archive i's own reports, mapped into [i/4, (i+1)/4], then 1 at the end.
    QList<double> expected;
    for (int i = 0; i < archives.size(); ++i) {
        const Outcome single =
            runJob(CfrWorker::Extract, {archives[i]}, path(QString("single%1").arg(i)));
        QVERIFY(single.progress.size() > 1);
        for (double f : single.progress)
            expected << (i + f) / 4;
    }
    expected << 1.0;

    const Outcome batch = runJob(CfrWorker::ExtractBatch, archives, path("batch"));
    QCOMPARE(batch.succeeded, QStringList{path("batch")});
    QCOMPARE(batch.progress, expected);
    QVERIFY(batch.progress.contains((2 + 0.5) / 4));
}

QTEST_GUILESS_MAIN(TestCfrWorker)
#include "tst_cfr_worker.moc"
