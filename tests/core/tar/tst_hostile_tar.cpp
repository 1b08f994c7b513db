// Hostile and unusual archives of the tar family and single streams: each row states the
// result and exactly the files the destination may hold afterwards.
#include "hostile_run.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace tartest;

namespace {

// gzip keeps no name (-n), so the stream's one file is named after the archive.
QByteArray compressed(const QString& tool, const QByteArray& bytes) {
    QTemporaryDir tmp;
    testing::writeFile(tmp.path() + "/in", bytes);
    QStringList args{"-c", tmp.path() + "/in"};
    if (tool == "gzip")
        args.prepend("-n");
    return testing::runTool(tool, args).out;
}

// A 3 MiB file of holes with a few bytes at 1 MiB, and the tar GNU tar makes of it.
QByteArray sparseContent() {
    QByteArray content(3 * 1024 * 1024, '\0');
    content.replace(1024 * 1024, 6, "middle");
    return content;
}
QByteArray sparseTar(const char* format) {
    QTemporaryDir tmp;
    QFile file(tmp.path() + "/sparse");
    if (!file.open(QIODevice::WriteOnly) || !file.resize(3 * 1024 * 1024) ||
        !file.seek(1024 * 1024) || file.write("middle") != 6)
        return {};
    file.close();
    testing::runTool("tar", {QString("--format=") + format, "-Scf", tmp.path() + "/s.tar", "-C",
                             tmp.path(), "sparse"});
    return testing::readFile(tmp.path() + "/s.tar");
}

QByteArray tarBytes(const std::vector<RawEntry>& entries, const char* filter = nullptr) {
    QTemporaryDir tmp;
    writeTar(tmp.path() + "/t", entries, filter);
    return testing::readFile(tmp.path() + "/t");
}

RawEntry file(const QByteArray& name, const QByteArray& data) {
    RawEntry entry;
    entry.name = name;
    entry.data = data;
    return entry;
}

} // namespace

class HostileTarTest : public QObject {
    Q_OBJECT

private slots:
    void rowsEndAsStated_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<int>("expected");
        QTest::addColumn<Files>("left");

        const QByteArray sparse = sparseContent();
        QTest::newRow("gnu sparse") << "s.tar" << sparseTar("gnu") << NoTrouble << int(cfr::Ok)
                                    << Files{{"sparse", sparse}};
        QTest::newRow("pax sparse") << "s.tar" << sparseTar("posix") << NoTrouble << int(cfr::Ok)
                                    << Files{{"sparse", sparse}};

        // A disk image starts with zeros, which libarchive would otherwise take for an
        // empty tar; a tar or a gzip inside a single stream is the stream's one file.
        const QByteArray image = QByteArray(1024, '\0') + "boot sector and more";
        QTest::newRow("gz of zeros") << "disk.img.gz" << compressed("gzip", image) << NoTrouble
                                     << int(cfr::Ok) << Files{{"disk.img", image}};
        const QByteArray tar = tarBytes({file("inner.txt", "inner")});
        QTest::newRow("gz of a tar") << "image.iso.gz" << compressed("gzip", tar) << NoTrouble
                                     << int(cfr::Ok) << Files{{"image.iso", tar}};
        const QByteArray once = compressed("gzip", "twice");
        QTest::newRow("gz of a gz") << "twice.gz" << compressed("gzip", once) << NoTrouble
                                    << int(cfr::Ok) << Files{{"twice", once}};
        QTest::newRow("xz of an xz")
            << "twice.xz" << compressed("xz", compressed("xz", "x")) << NoTrouble << int(cfr::Ok)
            << Files{{"twice", compressed("xz", "x")}};

        // What came out whole stays; the entry being written when things went wrong goes.
        const QByteArray first = testing::noiseBytes(300000, 1);
        const QByteArray tgz =
            tarBytes({file("first", first), file("big", testing::noiseBytes(5000000, 2))}, "gzip");
        QTest::newRow("truncated tar.gz") << "t.tar.gz" << tgz.left(tgz.size() * 2 / 5) << NoTrouble
                                          << int(cfr::Failed) << Files{{"first", first}};
        QTest::newRow("cancel in tar.gz")
            << "t.tar.gz" << tgz << CancelAtOnce << int(cfr::Cancelled) << Files{};

        const QByteArray big = testing::noiseBytes(3 * kFullDiskBytes, 3);
        const QByteArray plainTar = tarBytes({file("first", first), file("big", big)});
        QTest::newRow("full disk tar")
            << "f.tar" << plainTar << FullDisk << int(cfr::Failed) << Files{{"first", first}};
        QTest::newRow("full disk tar.gz")
            << "f.tar.gz" << tgz << FullDisk << int(cfr::Failed) << Files{{"first", first}};
        QTest::newRow("full disk gz")
            << "big.gz" << compressed("gzip", big) << FullDisk << int(cfr::Failed) << Files{};
    }

    void rowsEndAsStated() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(Trouble, trouble);
        QFETCH(int, expected);
        QFETCH(Files, left);
        QVERIFY(!bytes.isEmpty());
        QTemporaryDir tmp;
        QCOMPARE(extractHostile(tmp.path(), name, bytes, trouble), expected);
        const Files found = filesIn(tmp.path() + "/out");
        QCOMPARE(found.keys(), left.keys());
        for (const QString& key : left.keys())
            QVERIFY2(found[key] == left[key], qPrintable(key));
    }

    // Nothing of the tar family can be encrypted: the probe answers without reading, so a
    // pipe nobody writes to cannot hold it up.
    void probesOfUnencryptableKindsReadNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("tar.gz") << "p.tar.gz";
        QTest::newRow("gz") << "p.gz";
        QTest::newRow("tar") << "p.tar";
    }

    void probesOfUnencryptableKindsReadNothing() {
        QFETCH(QString, name);
        QTemporaryDir tmp;
        const QByteArray pipe = (tmp.path() + '/' + name).toUtf8();
        QCOMPARE(mkfifo(pipe.constData(), 0600), 0);
        QCOMPARE(cfr::archiveNeedsPassword(pipe.constData()), 0);
    }
};

QTEST_GUILESS_MAIN(HostileTarTest)
#include "tst_hostile_tar.moc"
