// Every tar-family kind, both ways: what we write is read by bsdtar, GNU tar and the
// compressors; what they write is extracted by us; all byte for byte.
#include "tar/tar_backend.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tartest;
using testing::runTool;

class TarRoundTripTest : public QObject {
    Q_OBJECT

private:
    // 7z goes to the plugin when it is present; this backend is its fallback reader.
    static int extractHere(const QString& archive, const QString& dest) {
        const QByteArray path = archive.toUtf8();
        if (archive.endsWith(".7z"))
            return cfr::tarExtract(path.constData(), dest.toUtf8().constData(), "", nullptr);
        return cfr::extract(path.constData(), dest.toUtf8().constData(), nullptr, nullptr, nullptr);
    }

    static QString shell(const QString& script, const QStringList& args) {
        const auto run = runTool("sh", QStringList{"-c", script} + args);
        return run.exitCode == 0 ? QString() : QString::fromUtf8(run.out);
    }

private slots:
    void packedArchiveReadByPeers_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("streamCheck"); // checks the compressed stream itself
        QTest::addColumn<bool>("gnuTarReads");
        QTest::newRow("tar") << ".tar"
                             << "" << true;
        QTest::newRow("tar.gz") << ".tar.gz"
                                << "gzip -t \"$0\"" << true;
        QTest::newRow("tar.bz2") << ".tar.bz2"
                                 << "bzip2 -t \"$0\"" << true;
        QTest::newRow("tar.xz") << ".tar.xz"
                                << "xz -t \"$0\"" << true;
        QTest::newRow("tar.zst") << ".tar.zst"
                                 << "zstd -q -t \"$0\"" << true;
        QTest::newRow("7z") << ".7z"
                            << "7z t \"$0\"" << false;
    }

    void packedArchiveReadByPeers() {
        QFETCH(QString, suffix);
        QFETCH(QString, streamCheck);
        QFETCH(bool, gnuTarReads);
        QTemporaryDir tmp;
        const QString source = tmp.path() + "/source";
        const QString archive = tmp.path() + "/packed" + suffix;
        QCOMPARE(packPaths(makeSampleTree(source), archive), int(cfr::Ok));

        if (!streamCheck.isEmpty())
            QCOMPARE(shell(streamCheck, {archive}), QString());
        const QString byBsdtar = tmp.path() + "/bsdtar";
        QDir().mkpath(byBsdtar);
        QCOMPARE(runTool("bsdtar", {"-xf", archive, "-C", byBsdtar}).exitCode, 0);
        QCOMPARE(treeDifference(source, byBsdtar), QString());
        if (gnuTarReads) {
            const QString byTar = tmp.path() + "/tar";
            QDir().mkpath(byTar);
            QCOMPARE(runTool("tar", {"-xf", archive, "-C", byTar}).exitCode, 0);
            QCOMPARE(treeDifference(source, byTar), QString());
        }

        const QString byUs = tmp.path() + "/us";
        QCOMPARE(extractHere(archive, byUs), int(cfr::Ok));
        QCOMPARE(treeDifference(source, byUs), QString());
    }

    void peerArchiveExtractedByUs_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("command"); // run in the source folder on its two inputs
        const QStringList rows{".tar|tar -cf \"$0\"",
                               ".tar.gz|tar -czf \"$0\"",
                               ".tar.bz2|tar -cjf \"$0\"",
                               ".tar.xz|tar -cJf \"$0\"",
                               ".tar.zst|tar --zstd -cf \"$0\"",
                               ".tzst|bsdtar --zstd -cf \"$0\"",
                               ".7z|bsdtar --format 7zip -cf \"$0\"",
                               ".7z|7z a -bd \"$0\" >/dev/null"};
        for (const QString& row : rows)
            QTest::newRow(qPrintable(row)) << row.section('|', 0, 0) << row.section('|', 1);
        QTest::newRow("tar.gz piped through gzip")
            << ".tar.gz"
            << "tar -cf - docs 'top file.txt' | gzip -9 > \"$0\"";
    }

    void peerArchiveExtractedByUs() {
        QFETCH(QString, suffix);
        QFETCH(QString, command);
        QTemporaryDir tmp;
        const QString source = tmp.path() + "/source";
        makeSampleTree(source);
        const QString archive = tmp.path() + "/peer" + suffix;
        // Commands name their inputs after the archive, unless they pipe.
        if (!command.contains('|'))
            command.replace("\"$0\"", "\"$0\" docs 'top file.txt'");
        QCOMPARE(shell("cd \"$1\" && " + command, {archive, source}), QString());
        const QString out = tmp.path() + "/out";
        QCOMPARE(extractHere(archive, out), int(cfr::Ok));
        QCOMPARE(treeDifference(source, out), QString());
    }

    void singleStreamBothWays_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("tool");
        QTest::newRow("gz") << ".gz"
                            << "gzip";
        QTest::newRow("bz2") << ".bz2"
                             << "bzip2";
        QTest::newRow("xz") << ".xz"
                            << "xz";
        QTest::newRow("zst") << ".zst"
                             << "zstd -q";
    }

    void singleStreamBothWays() {
        QFETCH(QString, suffix);
        QFETCH(QString, tool);
        QTemporaryDir tmp;
        const QString original = tmp.path() + "/report.txt";
        const QByteArray bytes =
            QByteArray("line of text\n").repeated(20000) + testing::noiseBytes(200 * 1024, 3);
        QVERIFY(testing::writeFile(original, bytes));
        QVERIFY(testing::writeFile(tmp.path() + "/other.txt", "not packed"));

        // Ours, read by the compressor: only the first input goes in.
        const QString ours = tmp.path() + "/ours" + suffix;
        QCOMPARE(packPaths({original, tmp.path() + "/other.txt"}, ours), int(cfr::Ok));
        QCOMPARE(shell(tool + " -dc \"$0\" > \"$1\"", {ours, tmp.path() + "/decoded"}), QString());
        QCOMPARE(testing::readFile(tmp.path() + "/decoded"), bytes);

        // The compressor's, extracted by us under the archive's name less its suffix.
        const QString theirs = tmp.path() + "/report.txt" + suffix;
        QCOMPARE(shell(tool + " -c \"$0\" > \"$1\"", {original, theirs}), QString());
        QCOMPARE(extractHere(theirs, tmp.path() + "/out"), int(cfr::Ok));
        QCOMPARE(testing::treeListing(tmp.path() + "/out"), QStringList{"report.txt"});
        QCOMPARE(testing::readFile(tmp.path() + "/out/report.txt"), bytes);
    }
};

QTEST_GUILESS_MAIN(TarRoundTripTest)
#include "tst_tar_roundtrip.moc"
