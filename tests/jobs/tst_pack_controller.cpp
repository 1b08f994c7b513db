// The controller with real jobs on real files: signals and their order, the bars, refusal
// while running, the format queries and the way QML hands it file lists.
#include "core/cfr.h"
#include "jobs/pack_controller.h"
#include "jobs/progress_split.h"

#include "job_fixtures.h"
#include "test_support.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Everything the controller tells its observers, in order; progress only counted.
class Journal : public QObject {
public:
    explicit Journal(PackController& c) : c_(c) {
        connect(&c, &PackController::isRunningChanged, this,
                [this] { events << QString("running=%1").arg(c_.isRunning()); });
        connect(&c, &PackController::twoStageChanged, this,
                [this] { events << QString("twoStage=%1").arg(c_.twoStage()); });
        connect(&c, &PackController::statusTextChanged, this,
                [this] { events << "status=" + c_.statusText(); });
        connect(&c, &PackController::secondProgressChanged, this, [this] {
            bars << ProgressBars{c_.firstProgress(), c_.secondProgress()};
        });
        const auto outcome = [this](const QString& name) {
            return [this, name](const QString& s) { events << name + "=" + s; };
        };
        connect(&c, &PackController::packSucceeded, this, outcome("packSucceeded"));
        connect(&c, &PackController::packFailed, this, outcome("packFailed"));
        connect(&c, &PackController::extractSucceeded, this, outcome("extractSucceeded"));
        connect(&c, &PackController::extractFailed, this, outcome("extractFailed"));
    }
    int outcomes() const {
        return events.filter(QRegularExpression("^(pack|extract)(Succeeded|Failed)=")).size();
    }

    QStringList events;
    QList<ProgressBars> bars;

private:
    PackController& c_;
};

// Stands in for the file list the interface keeps.
class FileList : public QObject {
    Q_OBJECT
public:
    QVector<QFileInfo> infos;
    Q_INVOKABLE QVector<QFileInfo> getAllFileInfos() const { return infos; }
};

bool waitUntilIdle(const PackController& c, int ms = 60000) {
    return QTest::qWaitFor([&] { return !c.isRunning(); }, ms);
}

bool waitForProgress(const PackController& c, double atLeast) {
    return QTest::qWaitFor([&] { return c.firstProgress() >= atLeast || !c.isRunning(); }, 60000);
}

enum Request { PackPaths, Extract, ExtractBatch };

} // namespace

class TestPackController : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void splitsProgress_data();
    void splitsProgress();
    void successIsReportedInOrder();
    void failuresReachTheInterface_data();
    void failuresReachTheInterface();
    void barsFollowTheJob_data();
    void barsFollowTheJob();
    void refusesASecondJobWhileRunning();
    void answersFormatQueries_data();
    void answersFormatQueries();
    void qmlPassesFileListsThrough();

private:
    QString path(const QString& relative) const { return QDir(dir_->path()).filePath(relative); }
    bool makePackage(const QString& package, const QString& folder);

    QTemporaryDir engineTemp_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<PackController> controller_;
};

void TestPackController::initTestCase() {
    // The package container's intermediate files land here, where they can be looked for.
    cfr::setTempDir(engineTemp_.path().toUtf8().constData());
}

void TestPackController::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    fixtures::makeInputFolder(dir_->path(), "in");
    controller_ = std::make_unique<PackController>();
}

void TestPackController::cleanup() {
    QVERIFY(waitUntilIdle(*controller_));
    controller_.reset();
    QCOMPARE(fixtures::listing(engineTemp_.path()), QStringList());
}

bool TestPackController::makePackage(const QString& package, const QString& folder) {
    if (!testing::writeFile(folder + "/bulk.bin", testing::noiseBytes(3 * 1024 * 1024, 5)))
        return false;
    const QByteArray input = folder.toUtf8();
    const char* inputs[] = {input.constData()};
    return cfr::pack(inputs, 1, package.toUtf8().constData(), "pw", nullptr, nullptr) == cfr::Ok;
}

void TestPackController::splitsProgress_data() {
    QTest::addColumn<double>("fraction");
    QTest::addColumn<bool>("twoStage");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::newRow("one bar") << 0.3 << false << 0.3 << 0.0;
    QTest::newRow("first stage") << 0.25 << true << 0.5 << 0.0;
    QTest::newRow("between the stages") << 0.5 << true << 1.0 << 0.0;
    QTest::newRow("second stage") << 0.75 << true << 1.0 << 0.5;
}

void TestPackController::splitsProgress() {
    QFETCH(double, fraction);
    QFETCH(bool, twoStage);
    QFETCH(double, first);
    QFETCH(double, second);
    const ProgressBars bars = splitProgress(fraction, twoStage);
    QCOMPARE(bars.first, first);
    QCOMPARE(bars.second, second);
}

void TestPackController::successIsReportedInOrder() {
    Journal journal(*controller_);
    const QString dest = path("out.tar.gz");
    QVERIFY(testing::writeFile(path("loose.txt"), "loose"));

    controller_->pack({QFileInfo(path("in")), QFileInfo(path("loose.txt"))}, dest, QString());
    QVERIFY(controller_->isRunning());
    QVERIFY(waitUntilIdle(*controller_));

    QCOMPARE(journal.events,
             QStringList({"status=", "running=1", "status=Packing...", "status=Pack succeeded!",
                          "packSucceeded=" + dest, "running=0"}));
    QCOMPARE(controller_->firstProgress(), 1.0);
    const testing::ToolRun list = testing::runTool("bsdtar", {"-tf", dest});
    QCOMPARE(list.exitCode, 0);
    for (const char* entry : {"in/notes.txt", "in/deep/data.bin", "loose.txt"})
        QVERIFY2(list.out.contains(entry), list.out.constData());
}

void TestPackController::failuresReachTheInterface_data() {
    QTest::addColumn<int>("request");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("passwords");
    QTest::addColumn<QString>("dest");
    QTest::addColumn<QString>("message");
    const QStringList none;
    QTest::newRow("missing archive") << int(Extract) << QStringList{"missing.zip"} << none << "x"
                                     << "Cannot open file";
    QTest::newRow("wrong password")
        << int(Extract) << QStringList{"one.zip"} << QStringList{"wrong"} << "x"
        << "Wrong password or corrupt file";
    QTest::newRow("extract where no folder can be made")
        << int(Extract) << QStringList{"a.tar"} << none << "blocker/x"
        << "Operation failed";
    QTest::newRow("unsupported destination")
        << int(PackPaths) << QStringList{"in"} << none << "out.rar"
        << "Unsupported format";
    QTest::newRow("package without a password")
        << int(PackPaths) << QStringList{"in"} << none << "out.cfr"
        << "Operation failed";
    QTest::newRow("pack nothing") << int(PackPaths) << none << none << "a.tar"
                                  << "Operation failed";
    QTest::newRow("pack where no folder can be made")
        << int(PackPaths) << QStringList{"in"} << none << "blocker/a.tar"
        << "Cannot open file";
    QTest::newRow("encrypted RAR")
        << int(Extract) << QStringList{testing::testData("rar/rar4_encrypted.rar")} << none << "x"
        << "Unsupported format: RAR encryption is not supported";
    QTest::newRow("encrypted RAR, with the right password")
        << int(ExtractBatch) << QStringList{testing::testData("rar/rar5_encrypted.rar")}
        << QStringList{"password"} << "x"
        << "1 of 1 archive(s) failed: rar5_encrypted.rar (RAR encryption is not supported)";
    QTest::newRow("batch short of passwords")
        << int(ExtractBatch) << QStringList{"one.zip", "two.zip"} << QStringList{"pw"} << "x"
        << "1 of 2 archive(s) failed: two.zip";
}

void TestPackController::failuresReachTheInterface() {
    QFETCH(int, request);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, passwords);
    QFETCH(QString, dest);
    QFETCH(QString, message);

    QVERIFY(fixtures::bsdtarArchive(path("a.tar"), dir_->path(), {"in"}));
    QVERIFY(fixtures::aesZip(path("one.zip"), path("in"), {"notes.txt"}, "pw"));
    QVERIFY(fixtures::aesZip(path("two.zip"), path("in"), {"notes.txt"}, "pw"));
    QVERIFY(testing::writeFile(path("blocker"), "a file where a folder would have to be"));
    for (QString& source : sources)
        source = path(source);

    Journal journal(*controller_);
    if (request == PackPaths)
        controller_->packPaths(sources, path(dest), QString());
    else if (request == Extract)
        controller_->extract(sources.first(), path(dest), passwords.value(0));
    else
        controller_->extractBatch(sources, passwords, path(dest), true);
    QVERIFY(waitUntilIdle(*controller_));

    const QString status = (request == PackPaths ? "Pack failed: " : "Extract failed: ") + message;
    const QString outcome = (request == PackPaths ? "packFailed=" : "extractFailed=") + message;
    QCOMPARE(journal.outcomes(), 1);
    QCOMPARE(journal.events.mid(journal.events.size() - 3),
             QStringList({"status=" + status, outcome, "running=0"}));
}

void TestPackController::barsFollowTheJob_data() {
    QTest::addColumn<int>("request");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("twoStage");
    QTest::newRow("package, upper-case suffix") << int(PackPaths) << "in" << true;
    QTest::newRow("package extraction") << int(Extract) << "pkg.cfr" << true;
    QTest::newRow("package under a zip name") << int(Extract) << "pkg.zip" << false;
}

void TestPackController::barsFollowTheJob() {
    QFETCH(int, request);
    QFETCH(QString, source);
    QFETCH(bool, twoStage);
    QVERIFY(makePackage(path("pkg.cfr"), path("in")));
    QVERIFY(QFile::copy(path("pkg.cfr"), path("pkg.zip")));

    Journal journal(*controller_);
    if (request == PackPaths)
        controller_->packPaths({path(source)}, path("out.CFR"), "pw");
    else
        controller_->extract(path(source), path("x"), "pw");
    QCOMPARE(controller_->twoStage(), twoStage);
    QVERIFY(waitUntilIdle(*controller_));
    QCOMPARE(journal.outcomes(), 1);
    QVERIFY2(!journal.events.filter("Failed=").size(), qPrintable(journal.events.join('\n')));

    bool firstHalf = false, secondHalf = false;
    for (const ProgressBars& bars : journal.bars) {
        if (twoStage) {
            QVERIFY(bars.second == 0.0 || bars.first == 1.0);
            firstHalf |= bars.first > 0 && bars.first < 1;
            secondHalf |= bars.second > 0 && bars.second < 1;
        } else {
            QCOMPARE(bars.second, 0.0);
            firstHalf |= bars.first > 0 && bars.first < 0.5;
            secondHalf |= bars.first > 0.5 && bars.first < 1;
        }
    }
    QVERIFY(firstHalf && secondHalf);
    QCOMPARE(controller_->firstProgress(), 1.0);
    // libzip's progress while writing need not end on exactly 1.
    if (twoStage)
        QVERIFY(controller_->secondProgress() > 0.9);
    else
        QCOMPARE(controller_->secondProgress(), 0.0);
}

void TestPackController::refusesASecondJobWhileRunning() {
    QVERIFY(fixtures::makeNoiseFiles(path("mid"), 1, 32 * 1024 * 1024));
    const QString first = path("first.tar.gz");
    controller_->packPaths({path("mid")}, first, QString());
    QVERIFY(waitForProgress(*controller_, 0.01));
    QVERIFY(controller_->isRunning());
    const double barBefore = controller_->firstProgress();

    Journal journal(*controller_);
    controller_->packPaths({path("in")}, path("second.cfr"), "pw");
    controller_->extract(path("second.cfr"), path("x"), "pw");

    QCOMPARE(journal.events, QStringList());
    QCOMPARE(controller_->firstProgress(), barBefore);
    QCOMPARE(controller_->statusText(), QString("Packing..."));
    QVERIFY(waitUntilIdle(*controller_));
    QCOMPARE(journal.outcomes(), 1);
    QVERIFY(journal.events.contains("packSucceeded=" + first));
    QVERIFY(!QFileInfo::exists(path("second.cfr")));
    QVERIFY(!QFileInfo::exists(path("x")));
}

void TestPackController::answersFormatQueries_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("caps");
    QTest::addColumn<bool>("requiresPassword");
    QTest::newRow("package") << "a.CFR"
                             << "cfr" << 7 << true;
    QTest::newRow("zip") << "a.zip"
                         << "zip" << 7 << false;
    QTest::newRow("tgz") << "a.tgz"
                         << "tar.gz" << 3 << false;
    QTest::newRow("no known suffix") << "backup.data"
                                     << "unknown" << 0 << false;
}

void TestPackController::answersFormatQueries() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(int, caps);
    QFETCH(bool, requiresPassword);
    QCOMPARE(controller_->archiveKind(name), kind);
    QCOMPARE(controller_->formatCaps(name), caps);
    QCOMPARE(controller_->formatCanEncrypt(name), (caps & 4) != 0);
    QCOMPARE(controller_->formatRequiresPassword(name), requiresPassword);
}

void TestPackController::qmlPassesFileListsThrough() {
    FileList files;
    QVERIFY(testing::writeFile(path("loose.txt"), "loose"));
    files.infos = {QFileInfo(path("in")), QFileInfo(path("loose.txt"))};
    const QString dest = path("from-qml.tar");

    QQmlEngine engine;
    qmlRegisterSingletonInstance("Coffret", 1, 0, "PackController", controller_.get());
    engine.rootContext()->setContextProperty("fileList", &files);
    engine.rootContext()->setContextProperty("dest", dest);
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nimport Coffret 1.0\n"
                      "QtObject { Component.onCompleted: "
                      "PackController.pack(fileList.getAllFileInfos(), dest, \"\") }",
                      QUrl());
    QSignalSpy succeeded(controller_.get(), &PackController::packSucceeded);
    std::unique_ptr<QObject> root(component.create());
    QVERIFY2(root, qPrintable(component.errorString()));
    QVERIFY(waitUntilIdle(*controller_));

    QCOMPARE(succeeded.count(), 1);
    QVERIFY(testing::runTool("bsdtar", {"-tf", dest}).out.contains("loose.txt"));
}

QTEST_MAIN(TestPackController)
#include "tst_pack_controller.moc"
