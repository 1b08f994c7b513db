// The controller with real jobs on real files: signals and their order, the bars, batches,
// refusal while running and the format queries.
#include "core/cfr.h"
#include "jobs/pack_controller.h"
#include "jobs/progress_split.h"

#include "test_support.h"

#include <QDir>
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
    QStringList events;
    QList<ProgressBars> bars;

private:
    PackController& c_;
};

bool waitUntilIdle(const PackController& c) {
    return QTest::qWaitFor([&] { return !c.isRunning(); }, 60000);
}

// A folder `name` below root holding a small file and a subfolder.
void makeInputFolder(const QString& root, const QString& name) {
    testing::writeFile(root + '/' + name + "/notes.txt", "notes of " + name.toUtf8() + "\n");
    testing::writeFile(root + '/' + name + "/deep/data.bin", testing::noiseBytes(70000, 7));
}

enum Request { PackPaths, Extract, ExtractBatch };

} // namespace

class TestPackController : public QObject {
    Q_OBJECT

    QString path(const QString& relative) const { return QDir(dir_->path()).filePath(relative); }

    QTemporaryDir engineTemp_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<PackController> controller_;

private slots:
    void initTestCase() {
        // The package container's intermediate files land here, where they can be looked for.
        cfr::setTempDir(engineTemp_.path().toUtf8().constData());
    }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        makeInputFolder(dir_->path(), "in");
        controller_ = std::make_unique<PackController>();
    }

    void cleanup() {
        QVERIFY(waitUntilIdle(*controller_));
        controller_.reset();
        QCOMPARE(testing::treeListing(engineTemp_.path()), QStringList());
    }

    // A second request while a job runs is refused and leaves the job's display alone.
    void successIsReportedInOrderAndASecondJobRefused() {
        Journal journal(*controller_);
        const QString dest = path("out.tar.gz");
        QVERIFY(testing::writeFile(path("loose.txt"), "loose"));
        // Large enough to be caught running.
        QVERIFY(testing::writeFile(path("in/noise.bin"), testing::noiseBytes(32 << 20, 11)));

        controller_->pack({QFileInfo(path("in")), QFileInfo(path("loose.txt"))}, dest, QString());
        QVERIFY(QTest::qWaitFor(
            [&] { return controller_->firstProgress() >= 0.01 || !controller_->isRunning(); },
            60000));
        QVERIFY(controller_->isRunning());
        const double barBefore = controller_->firstProgress();
        controller_->packPaths({path("in")}, path("second.cfr"), "pw");
        controller_->extract(path("second.cfr"), path("x"), "pw");
        QCOMPARE(controller_->firstProgress(), barBefore);
        QCOMPARE(controller_->statusText(), QString("Packing..."));
        QVERIFY(waitUntilIdle(*controller_));

        QCOMPARE(journal.events,
                 QStringList({"status=", "running=1", "status=Packing...", "status=Pack succeeded!",
                              "packSucceeded=" + dest, "running=0"}));
        QCOMPARE(controller_->firstProgress(), 1.0);
        QVERIFY(!QFileInfo::exists(path("second.cfr")));
        QVERIFY(!QFileInfo::exists(path("x")));
        const testing::ToolRun list = testing::runTool("bsdtar", {"-tf", dest});
        QCOMPARE(list.exitCode, 0);
        for (const char* entry : {"in/notes.txt", "in/deep/data.bin", "loose.txt"})
            QVERIFY2(list.out.contains(entry), list.out.constData());
    }

    void failuresReachTheInterface_data() {
        QTest::addColumn<int>("request");
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QString>("dest");
        QTest::addColumn<QString>("message");
        const QStringList none;
        QTest::newRow("wrong password")
            << int(Extract) << QStringList{"one.zip"} << QStringList{"wrong"} << "x"
            << "Wrong password or corrupt file";
        QTest::newRow("extract where no folder can be made")
            << int(Extract) << QStringList{"a.tar"} << none << "blocker/x"
            << "Operation failed";
        QTest::newRow("pack where no folder can be made")
            << int(PackPaths) << QStringList{"in"} << none << "blocker/a.tar"
            << "Cannot open file";
        QTest::newRow("encrypted RAR")
            << int(Extract) << QStringList{testing::testData("rar/rar4_encrypted.rar")} << none
            << "x"
            << "Unsupported format: RAR encryption is not supported";
        // The batch goes on past its first failure, and a right password does not help RAR.
        QTest::newRow("batch: encrypted RAR, one short of passwords")
            << int(ExtractBatch)
            << QStringList{testing::testData("rar/rar5_encrypted.rar"), "one.zip", "two.zip"}
            << QStringList{"password", "pw"} << "x"
            << "2 of 3 archive(s) failed: rar5_encrypted.rar (RAR encryption is not supported), "
               "two.zip";
    }

    void failuresReachTheInterface() {
        QFETCH(int, request);
        QFETCH(QStringList, sources);
        QFETCH(QStringList, passwords);
        QFETCH(QString, dest);
        QFETCH(QString, message);

        for (const QString zip : {"one.zip", "two.zip"}) { // encrypted by a tool nobody here wrote
            const QStringList args{"a", "-tzip", "-mem=AES256", "-ppw", path(zip), "notes.txt"};
            QCOMPARE(testing::runTool("7z", args, path("in")).exitCode, 0);
        }
        QCOMPARE(testing::runTool("bsdtar", {"-cf", path("a.tar"), path("in")}).exitCode, 0);
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

        const bool pack = request == PackPaths;
        QCOMPARE(journal.events.filter(QRegularExpression("(Succeeded|Failed)=")).size(), 1);
        QCOMPARE(journal.events.mid(journal.events.size() - 3),
                 QStringList({(pack ? "status=Pack failed: " : "status=Extract failed: ") + message,
                              (pack ? "packFailed=" : "extractFailed=") + message, "running=0"}));
        if (request == ExtractBatch)
            QVERIFY(QFile::exists(path("x/one/notes.txt")));
    }

    // A package job has two stages, each with a bar of its own: packing, then extracting what
    // was packed. One file alone, so that extraction stays on the job's thread and reports
    // every chunk: with several entries a helper thread may take the large one, and the job's
    // thread then reports only every 50 ms, which a fast machine outruns.
    void barsFollowTheJob() {
        QVERIFY(testing::writeFile(path("bulk.bin"), testing::noiseBytes(3 << 20, 5)));
        for (const bool pack : {true, false}) {
            Journal journal(*controller_);
            if (pack)
                controller_->packPaths({path("bulk.bin")}, path("pkg.CFR"), "pw"); // upper-case suffix
            else
                controller_->extract(path("pkg.CFR"), path("x"), "pw");
            QVERIFY(controller_->twoStage());
            QVERIFY(waitUntilIdle(*controller_));
            QCOMPARE(journal.events.filter("Succeeded=").size(), 1);
            QVERIFY2(journal.events.filter("Failed=").isEmpty(),
                     qPrintable(journal.events.join('\n')));

            bool firstHalf = false, secondHalf = false;
            for (const ProgressBars& bars : journal.bars) {
                QVERIFY(bars.second == 0.0 || bars.first == 1.0);
                firstHalf |= bars.first > 0 && bars.first < 1;
                secondHalf |= bars.second > 0 && bars.second < 1;
            }
            QVERIFY(firstHalf && secondHalf);
            QCOMPARE(controller_->firstProgress(), 1.0);
            // libzip's progress while writing need not end on exactly 1.
            QVERIFY(controller_->secondProgress() > 0.9);
        }
    }

    void batchSubfoldersAvoidTakenNames() {
        // Two archives named "a" meet a folder "a"; two bare suffixes meet a file "extracted".
        const QStringList archives{"a.tar", "a.tgz", ".tar", "z/.zip"};
        const QStringList members{"one", "two", "three", "four"};
        QStringList sources;
        QDir().mkpath(path("z"));
        for (int i = 0; i < 4; ++i) {
            makeInputFolder(path("src"), members[i]);
            const QStringList args{i < 3 ? "-caf" : "-qr", path(archives[i]), members[i]};
            QCOMPARE(testing::runTool(i < 3 ? "bsdtar" : "zip", args, path("src")).exitCode, 0);
            sources << path(archives[i]);
        }
        QDir().mkpath(path("x/a"));
        QVERIFY(testing::writeFile(path("x/extracted"), "taken"));

        Journal journal(*controller_);
        controller_->extractBatch(sources, {}, path("x"), true);
        QVERIFY(waitUntilIdle(*controller_));
        QCOMPARE(journal.events.filter("xtract"),
                 QStringList({"status=Extracting...", "status=Extract succeeded!",
                              "extractSucceeded=" + path("x")}));
        QCOMPARE(controller_->firstProgress(), 1.0);
        QVERIFY(QFile::exists(path("x/a (1)/one/notes.txt")));
        QVERIFY(QFile::exists(path("x/a (2)/two/notes.txt")));
        QVERIFY(QFile::exists(path("x/extracted (1)/three/notes.txt")));
        QVERIFY(QFile::exists(path("x/extracted (2)/four/notes.txt")));
        QCOMPARE(testing::treeListing(path("x/a")), QStringList());
    }

    void answersFormatQueries() {
        QCOMPARE(controller_->archiveKind("a.CFR"), QString("cfr")); // the name QML shows
        QVERIFY(controller_->formatCanEncrypt("a.CFR") &&
                controller_->formatRequiresPassword("a.CFR"));
        QCOMPARE(controller_->formatCaps("a.tgz"), cfr::CapPack | cfr::CapExtract); // no encryption
        QCOMPARE(controller_->archiveKind("backup.data"), QString("unknown"));
        QCOMPARE(controller_->formatCaps("backup.data"), 0);
        QVERIFY(!controller_->formatRequiresPassword("backup.data"));
    }
};

QTEST_MAIN(TestPackController)
#include "tst_pack_controller.moc"
