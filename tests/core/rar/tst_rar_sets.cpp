// RAR archives beyond what libarchive does alone: multi-volume sets found from any part, and
// encryption it cannot undo reported as such.
#include "rar/rar_volumes.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// song.bin split into a stored RAR 5 set beside it (no RAR writer is free to use).
bool makeSet(const QString& folder, const QByteArray& song, int parts, const QString& naming) {
    const QString source = folder + "/song.bin";
    return testing::writeFile(source, song) &&
           testing::runTool("python3", {COFFRET_SOURCE_DIR "/tests/core/rar/make_rar5_set.py",
                                        source, QString::number(parts), naming})
                   .exitCode == 0 &&
           QFile::remove(source);
}

} // namespace

class RarSetsTest : public QObject {
    Q_OBJECT

private slots:
    void volumeNames_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("third");
        QTest::newRow("padded parts") << "d/a.part07.rar"
                                      << "d/a.part01.rar"
                                      << "d/a.part03.rar";
        QTest::newRow("old naming") << "a.r05"
                                    << "a.rar"
                                    << "a.r01";
        QTest::newRow("old naming, upper case") << "A.RAR"
                                                << "A.RAR"
                                                << "A.R01";
        QTest::newRow("past r99") << "a.s00"
                                  << "a.rar"
                                  << "a.r01";
        QTest::newRow("a dot in the stem") << "v1.2.part2.rar"
                                           << "v1.2.part1.rar"
                                           << "v1.2.part3.rar";
    }

    void volumeNames() {
        QFETCH(QString, path);
        QFETCH(QString, first);
        QFETCH(QString, third);
        const auto name = cfr::parseVolumeName(path.toStdString());
        QVERIFY(name);
        QCOMPARE(QString::fromStdString(cfr::volumePath(*name, 0)), first);
        QCOMPARE(QString::fromStdString(cfr::volumePath(*name, 2)), third);
        QCOMPARE(QString::fromStdString(cfr::volumePath(*name, name->index)), path);
    }

    void rarArchives_data() {
        QTest::addColumn<QString>("opened"); // song.*: a part of a three-part set of song.bin
        QTest::addColumn<QString>("removed");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("subject");
        const auto row = [](const char* name, const char* opened, const char* removed, int result,
                            int reason = cfr::NoReason, const char* subject = "") {
            QTest::newRow(name) << opened << removed << result << reason << subject;
        };
        row("first part", "song.part1.rar", "", cfr::Ok);
        row("last part", "song.part3.rar", "", cfr::Ok);
        row("old naming, a later part", "song.r00", "", cfr::Ok);
        row("middle part missing", "song.part1.rar", "song.part2.rar", cfr::OpenFailed,
            cfr::MissingVolume, "song.part2.rar");
        row("last part missing", "song.part2.rar", "song.part3.rar", cfr::OpenFailed,
            cfr::MissingVolume, "song.part3.rar");
        row("first part missing, old naming", "song.r01", "song.rar", cfr::OpenFailed,
            cfr::MissingVolume, "song.rar");
        // libarchive cannot decrypt RAR, and does not even see RAR 5 encryption.
        row("encrypted rar5", "rar5_encrypted.rar", "", cfr::Unsupported,
            cfr::RarEncryptionUnsupported);
        row("encrypted rar4", "rar4_encrypted.rar", "", cfr::Unsupported,
            cfr::RarEncryptionUnsupported);
    }

    void rarArchives() {
        QFETCH(QString, opened);
        QFETCH(QString, removed);
        QFETCH(int, result);
        QFETCH(int, reason);
        QFETCH(QString, subject);
        QTemporaryDir tmp;
        const QByteArray song = testing::noiseBytes(3000, 7);
        QString archive = testing::testData("rar/" + opened);
        if (opened.startsWith("song.")) {
            QVERIFY(makeSet(tmp.path(), song, 3, opened.endsWith(".rar") ? "part" : "old"));
            QVERIFY(removed.isEmpty() || QFile::remove(tmp.path() + '/' + removed));
            archive = tmp.path() + '/' + opened;
        }
        const QByteArray path = archive.toUtf8();
        QCOMPARE(cfr::archiveNeedsPassword(path.constData()),
                 reason == cfr::RarEncryptionUnsupported ? 1 : 0);

        const QString out = tmp.path() + "/out";
        QCOMPARE(tartest::extractTo(archive, out, "password"), result);
        QCOMPARE(cfr::failureReason(), reason);
        QCOMPARE(QString::fromUtf8(cfr::failureSubject()), subject);
        if (result != cfr::Ok) {
            QVERIFY(!QDir(out).exists());
            return;
        }
        QCOMPARE(testing::treeListing(out), QStringList{"song.bin"});
        QCOMPARE(testing::readFile(out + "/song.bin"), song);
        // 7z reads a set from its first part, which the engine names for the whole set.
        QByteArray first(4096, '\0');
        const int length = cfr::archiveFirstVolume(path.constData(), first.data(), first.size());
        QVERIFY(length > 0);
        const auto peer = testing::runTool(
            "7z", {"x", "-o" + tmp.path() + "/peer", QString::fromUtf8(first.left(length))});
        QCOMPARE(peer.exitCode, 0);
        QCOMPARE(tartest::treeDifference(tmp.path() + "/peer", out), QString());
    }
};

QTEST_GUILESS_MAIN(RarSetsTest)
#include "tst_rar_sets.moc"
