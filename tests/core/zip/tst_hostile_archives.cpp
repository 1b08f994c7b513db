// Hostile and unusual archives, one table per family: each row states the result and
// exactly the files the destination holds afterwards. Troubles: a "full" disk (writes past
// 1 MiB fail with EFBIG) and a cancel at the first chance.
#include "test_support.h"
#include "zip_test_support.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tartest;
using Files = QMap<QString, QByteArray>;
enum Trouble { None, FullDisk, Cancel };
Q_DECLARE_METATYPE(Trouble)

namespace {

const int kMiB = 1024 * 1024;

QByteArray fileBytes(const std::function<void(const QString& dir)>& make) {
    QTemporaryDir tmp;
    make(tmp.path());
    return testing::readFile(tmp.path() + "/out");
}
// gzip keeps no name (-n): the stream's one file is named after the archive.
QByteArray gzipped(const QByteArray& bytes) {
    return fileBytes([&](const QString& dir) {
        testing::writeFile(dir + "/out", bytes);
        testing::runTool("gzip", {"-nf", dir + "/out"});
        QFile::rename(dir + "/out.gz", dir + "/out");
    });
}
QByteArray tar(const std::vector<RawEntry>& entries, const char* filter = nullptr) {
    return fileBytes([&](const QString& dir) { writeTar(dir + "/out", entries, filter); });
}
RawEntry file(const QByteArray& name, const QByteArray& data) {
    return {name, data, 0100000, {}, false};
}
// 3 MiB of holes with "middle" at 1 MiB, as GNU tar stores such a file.
const QByteArray kSparse = QByteArray(3 * kMiB, '\0').replace(kMiB, 6, "middle");
QByteArray sparseTar(const QString& format) {
    return fileBytes([&](const QString& dir) {
        QFile f(dir + "/sparse");
        if (f.open(QIODevice::WriteOnly) && f.resize(3 * kMiB) && f.seek(kMiB))
            f.write("middle");
        f.close();
        testing::runTool("tar", {"--format=" + format, "-Scf", dir + "/out", "-C", dir, "sparse"});
    });
}
// Rewrites a little-endian field of the index-th entry's central record, and of its local
// header when localField >= 0.
QByteArray patched(QByteArray zip, int index, int centralField, int localField, quint32 value,
                   int width = 4) {
    int central = -1;
    for (int i = 0; i <= index; ++i)
        central = zip.indexOf("PK\x01\x02", central + 1);
    const int local = int(qFromLittleEndian<quint32>(zip.constData() + central + 42));
    for (int at : {central + centralField, localField < 0 ? -1 : local + localField})
        for (int byte = 0; at >= 0 && byte < width; ++byte)
            zip[at + byte] = char(value >> (8 * byte));
    return zip;
}
// 1.bin and 2.bin by 7-Zip itself; noise is stored about as it is, so the second file's
// data lies where the first one's ends.
QByteArray made7z(const QByteArray& first, const QByteArray& second, const QString& password) {
    return fileBytes([&](const QString& dir) {
        testing::writeFile(dir + "/1.bin", first);
        testing::writeFile(dir + "/2.bin", second);
        const QStringList args{"a", "-bd", "out.7z", "1.bin", "2.bin"};
        testing::runTool("7z", password.isEmpty() ? args : args + QStringList{"-p" + password},
                         dir);
        QFile::rename(dir + "/out.7z", dir + "/out");
    });
}
QByteArray flipped(QByteArray bytes, int at) {
    bytes[at] = char(~bytes[at]);
    bytes[at + 1] = char(~bytes[at + 1]);
    return bytes;
}

void row(const char* tag, const QString& name, const QByteArray& bytes, Trouble trouble,
         int expected, const Files& left, const QString& password = "pw") {
    QTest::newRow(tag) << name << bytes << trouble << password << expected << left;
}

} // namespace

class HostileArchivesTest : public QObject {
    Q_OBJECT

    void columns() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("expected");
        QTest::addColumn<Files>("left");
    }

    void check() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(Trouble, trouble);
        QFETCH(QString, password);
        QFETCH(int, expected);
        QFETCH(Files, left);
        ziptest::Scratch scratch;
        QVERIFY(testing::writeFile(scratch.path(name), bytes));
        ProgressLog log;
        log.stopWhen = [&] { return trouble == Cancel; };
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved, limited;
        getrlimit(RLIMIT_FSIZE, &saved);
        limited = {trouble == FullDisk ? rlim_t(kMiB) : saved.rlim_cur, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
        const int result = extractTo(scratch.path(name), scratch.path("out"), password, &log);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(result, expected);
        Files found;
        for (const QString& path : testing::treeListing(scratch.path("out")))
            if (!path.endsWith('/'))
                found[path] = testing::readFile(scratch.path("out/" + path));
        QCOMPARE(found.keys(), left.keys());
        QVERIFY(found == left);
        QCOMPARE(scratch.leftovers(), QStringList());
    }

private slots:
    void tarFamily_data() {
        columns();
        row("gnu sparse", "s.tar", sparseTar("gnu"), None, cfr::Ok, {{"sparse", kSparse}});
        row("pax sparse", "s.tar", sparseTar("posix"), None, cfr::Ok, {{"sparse", kSparse}});
        // A disk image starts with zeros, which libarchive would take for an empty tar; a
        // tar or a gzip inside a single stream is the stream's one file.
        const QByteArray image = QByteArray(1024, '\0') + "boot sector";
        row("gz of zeros", "disk.img.gz", gzipped(image), None, cfr::Ok, {{"disk.img", image}});
        const QByteArray inner = tar({file("inner.txt", "inner")});
        row("gz of a tar", "cd.iso.gz", gzipped(inner), None, cfr::Ok, {{"cd.iso", inner}});
        row("gz of a gz", "x.gz", gzipped(gzipped("x")), None, cfr::Ok, {{"x", gzipped("x")}});
        // What came out whole stays; the entry being written when things went wrong goes.
        const QByteArray first = testing::noiseBytes(300000, 1);
        const QByteArray big = testing::noiseBytes(3 * kMiB, 2);
        const QByteArray tgz = tar({file("first", first), file("big", big)}, "gzip");
        row("truncated", "t.tar.gz", tgz.left(tgz.size() / 2), None, cfr::Failed,
            {{"first", first}});
        row("cancel", "t.tar.gz", tgz, Cancel, cfr::Cancelled, {});
        row("full disk tar", "f.tar", tar({file("first", first), file("big", big)}), FullDisk,
            cfr::Failed, {{"first", first}});
        row("full disk tar.gz", "f.tar.gz", tgz, FullDisk, cfr::Failed, {{"first", first}});
        row("full disk gz", "big.gz", gzipped(big), FullDisk, cfr::Failed, {});
    }
    void tarFamily() { check(); }

    void zipAndPackage_data() {
        columns();
        const QByteArray text = QByteArray("some text ").repeated(500);
        const Files a{{"a.txt", text}};
        const QByteArray two = fileBytes([&](const QString& dir) {
            ziptest::writeCraftedZip(dir + "/out", {{"a.txt", text}, {"b.txt", text + "b"}});
        });
        // b's central record points at a's local entry: the same data counted twice.
        row("overlapping entries", "o.zip", patched(two, 1, 42, -1, 0), None, cfr::Failed, {});
        // Flags 0x41: strong encryption, which libzip cannot decrypt.
        row("strong encryption", "s.zip", patched(two, 1, 8, 6, 0x41, 2), None, cfr::Unsupported,
            a);
        row("inflates past its size", "p.zip", patched(two, 1, 24, 22, text.size() - 10), None,
            cfr::Failed, a);
        row("ends short of its size", "p.zip", patched(two, 1, 24, 22, text.size() + 10), None,
            cfr::Failed, a);
        const QByteArray small = testing::noiseBytes(20000, 1);
        const QByteArray big = testing::noiseBytes(3 * kMiB, 2);
        QTemporaryDir tmp;
        testing::writeFile(tmp.path() + "/small", small);
        testing::writeFile(tmp.path() + "/big", big);
        for (const QString name : {"f.zip", "f.cfr"})
            QCOMPARE(packPaths({tmp.path() + "/small", tmp.path() + "/big"},
                               tmp.path() + '/' + name, name.endsWith("cfr") ? "pw" : ""),
                     int(cfr::Ok));
        row("full disk zip", "f.zip", testing::readFile(tmp.path() + "/f.zip"), FullDisk,
            cfr::Failed, {{"small", small}});
        // The package's inner zip is written to the temporary folder first, and fails there.
        row("full disk package", "f.cfr", testing::readFile(tmp.path() + "/f.cfr"), FullDisk,
            cfr::Failed, {});
    }
    void zipAndPackage() { check(); }

    void sevenZip_data() {
        columns();
        if (!(cfr::formatCaps(cfr::SevenZip) & cfr::CapEncrypt))
            QSKIP("the 7z plugin (p7zip-full) is needed");
        const QByteArray first = testing::noiseBytes(60000, 1);
        const QByteArray second = testing::noiseBytes(60000, 2);
        const QByteArray plain = made7z(first, second, "");
        const QByteArray locked = made7z(first, second, "pw");
        const int inSecond = 32 + 90000;
        const Files one{{"1.bin", first}};
        row("damaged plain", "d.7z", flipped(plain, inSecond), None, cfr::Failed, one, "");
        row("damaged encrypted", "d.7z", flipped(locked, inSecond), None, cfr::Failed, one);
        row("wrong password", "w.7z", locked, None, cfr::BadPassword, {}, "nope");
        const QByteArray big = testing::noiseBytes(3 * kMiB, 3);
        row("full disk plain", "f.7z", made7z(first, big, ""), FullDisk, cfr::Failed, one, "");
        row("full disk encrypted", "f.7z", made7z(first, big, "pw"), FullDisk, cfr::Failed, one);
        row("cancel", "c.7z", plain, Cancel, cfr::Cancelled, {}, "");
    }
    void sevenZip() { check(); }

    // Nothing of the tar family can be encrypted: the probe answers without reading, so a
    // pipe nobody writes to cannot hold it up.
    void probesOfUnencryptableKindsReadNothing() {
        QTemporaryDir tmp;
        for (const char* name : {"p.tar.gz", "p.gz", "p.tar"}) {
            const QByteArray pipe = QFile::encodeName(tmp.path() + '/' + name);
            QCOMPARE(mkfifo(pipe.constData(), 0600), 0);
            QCOMPARE(cfr::archiveNeedsPassword(pipe.constData()), 0);
        }
    }
};

QTEST_GUILESS_MAIN(HostileArchivesTest)
#include "tst_hostile_archives.moc"
