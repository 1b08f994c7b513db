// Kinds by name, capabilities, and the two file probes on real archives.
#include "cfr.h"
#include "p7/p7_ops.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QtTest>

using testing::runTool;

class KindsTest : public QObject {
    Q_OBJECT

private slots:
    void kindFollowsTheBaseNameOnly_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("upper tar.gz") << "/x/ARCHIVE.TAR.GZ" << int(cfr::TarGz);
        QTest::newRow("tgz mixed case") << "a.TgZ" << int(cfr::TarGz);
        QTest::newRow("tbz") << "a.tbz" << int(cfr::TarBz2);
        QTest::newRow("txz") << "a.txz" << int(cfr::TarXz);
        QTest::newRow("tzst") << "a.tzst" << int(cfr::TarZst);
        QTest::newRow("7Z") << "a.7Z" << int(cfr::SevenZip);
        QTest::newRow("cfr") << "vault/a.cfr" << int(cfr::Package);
        QTest::newRow("rar") << "a.rar" << int(cfr::Rar);
        QTest::newRow("later part of an old-style rar set") << "a.R07" << int(cfr::Rar);
        QTest::newRow("not a rar part") << "a.r7" << int(cfr::Unknown);
        QTest::newRow("txt.bz2") << "notes.txt.bz2" << int(cfr::Bz2);
        QTest::newRow("only the suffix") << ".gz" << int(cfr::Gz);
        QTest::newRow("folder named like a zip") << "x.zip/readme" << int(cfr::Unknown);
        QTest::newRow("backslash separates") << "C:\\stuff\\b.zip" << int(cfr::Zip);
        QTest::newRow("backslash hides the folder") << "x.zip\\readme" << int(cfr::Unknown);
        QTest::newRow("partial download") << "a.tar.gz.part" << int(cfr::Unknown);
        QTest::newRow("non-ASCII letters") << QString::fromUtf8("ÄRCHIV.TÄR") << int(cfr::Unknown);
    }

    void kindFollowsTheBaseNameOnly() {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(cfr::archiveKind(path.toUtf8().constData()), kind);
    }

    void capabilities_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("caps");
        const int readWrite = cfr::CapPack | cfr::CapExtract;
        QTest::newRow("package") << int(cfr::Package) << 7;
        QTest::newRow("zip") << int(cfr::Zip) << 7;
        QTest::newRow("rar") << int(cfr::Rar) << int(cfr::CapExtract);
        // This libarchive has every write filter, so no tar kind is switched off.
        for (int kind = cfr::Tar; kind <= cfr::Zst; ++kind)
            QTest::newRow(qPrintable(QString("kind %1").arg(kind))) << kind << readWrite;
        QTest::newRow("7z encrypts only with the plugin")
            << int(cfr::SevenZip) << (cfr::p7Available() ? 7 : readWrite);
        QTest::newRow("unknown") << int(cfr::Unknown) << 0;
        QTest::newRow("negative") << -7 << 0;
    }

    void capabilities() {
        QFETCH(int, kind);
        QFETCH(int, caps);
        QCOMPARE(cfr::formatCaps(kind), caps);
    }

    void probesOnRealFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("command"); // makes "$0" from the file "$1"
        QTest::addColumn<int>("supported");
        QTest::addColumn<int>("needsPassword");
        QTest::newRow("tar.gz") << "a.tar.gz"
                                << "bsdtar -czf \"$0\" \"$1\"" << 1 << 0;
        QTest::newRow("zip without a suffix") << "backup.data"
                                              << "zip -qj \"$0\" \"$1\"" << 1 << 0;
        QTest::newRow("encrypted zip without a suffix")
            << "backup.bin"
            << "zip -qj -P secret \"$0\" \"$1\"" << 1 << 1;
        QTest::newRow("AES zip") << "a.zip"
                                 << "7z a -tzip -psecret -mem=AES256 \"$0\" \"$1\"" << 1 << 1;
        QTest::newRow("plain 7z") << "a.7z"
                                  << "7z a \"$0\" \"$1\"" << 1 << 0;
        QTest::newRow("encrypted 7z") << "e.7z"
                                      << "7z a -psecret \"$0\" \"$1\"" << 1 << 1;
        QTest::newRow("7z with encrypted names") << "h.7z"
                                                 << "7z a -psecret -mhe=on \"$0\" \"$1\"" << 0 << 1;
        QTest::newRow("text named zip") << "t.zip"
                                        << "cp \"$1\" \"$0\"" << 0 << 0;
    }

    void probesOnRealFiles() {
        QFETCH(QString, name);
        QFETCH(QString, command);
        QFETCH(int, supported);
        QFETCH(int, needsPassword);
        QTemporaryDir tmp;
        const QString input = tmp.path() + "/input.txt";
        QVERIFY(testing::writeFile(input, QByteArray("some text\n").repeated(100)));
        const QString path = tmp.path() + '/' + name;
        QCOMPARE(runTool("sh", {"-c", command + " >/dev/null", path, input}).exitCode, 0);
        const QByteArray utf8 = path.toUtf8();
        QCOMPARE(cfr::archiveSupported(utf8.constData()), supported);
        QCOMPARE(cfr::archiveNeedsPassword(utf8.constData()), needsPassword);
    }

    void rarSamples_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<int>("needsPassword");
        QTest::newRow("plain rar4") << "rar.rar" << 0;
        QTest::newRow("plain rar5") << "rar5_stored.rar" << 0;
        QTest::newRow("encrypted rar4") << "rar4_encrypted.rar" << 1;
    }

    void rarSamples() {
        QFETCH(QString, sample);
        QFETCH(int, needsPassword);
        const QByteArray path = testing::testData("rar/" + sample).toUtf8();
        QCOMPARE(cfr::archiveSupported(path.constData()), 1);
        QCOMPARE(cfr::archiveNeedsPassword(path.constData()), needsPassword);
    }

    void nullPaths() {
        QCOMPARE(cfr::archiveKind(nullptr), int(cfr::Unknown));
        QCOMPARE(cfr::archiveSupported(nullptr), 0);
        QCOMPARE(cfr::archiveNeedsPassword(nullptr), 0);
    }
};

QTEST_GUILESS_MAIN(KindsTest)
#include "tst_kinds.moc"
