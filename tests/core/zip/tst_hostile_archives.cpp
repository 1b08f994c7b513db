// Hostile, damaged and unusual archives, one table per family: each row states the result and
// exactly the files the destination holds afterwards; nothing may land beside it. Troubles: a
// "full" disk (writes past 1 MiB fail with EFBIG), a cancel at the first chance or once some
// progress was reported.
#include "core_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <optional>
#include <sys/stat.h>

using namespace coretest;
using Files = QMap<QString, QByteArray>;
enum Trouble { None, FullDisk, Cancel, CancelLater };
Q_DECLARE_METATYPE(Trouble)

namespace {

const int kMiB = 1024 * 1024;

// What the shell script makes as "out" in a fresh folder that holds these files.
QByteArray made(const QString& script, const Files& files = {}) {
    QTemporaryDir tmp;
    for (auto it = files.begin(); it != files.end(); ++it)
        testing::writeFile(tmp.path() + '/' + it.key(), it.value());
    testing::runTool("sh", {"-c", script}, tmp.path());
    return testing::readFile(tmp.path() + "/out");
}
// gzip keeps no name (-n): the stream's one file is named after the archive.
QByteArray gzipped(const QByteArray& bytes) {
    return made("gzip -nc in > out", {{"in", bytes}});
}
QByteArray tar(const std::vector<RawEntry>& entries, const char* filter = nullptr) {
    QTemporaryDir tmp;
    writeTar(tmp.path() + "/out", entries, filter);
    return testing::readFile(tmp.path() + "/out");
}
// 3 MiB of holes with "middle" at 1 MiB, as GNU tar stores such a file.
const QByteArray kSparse = QByteArray(3 * kMiB, '\0').replace(kMiB, 6, "middle");
const char* const kSparseTar = "truncate -s 3M f && printf middle | dd of=f bs=1M seek=1 "
                               "conv=notrunc 2>/dev/null && tar --format=gnu -Scf out f";
// Rewrites a little-endian field of the index-th entry's central record, and of its local header
// when localField >= 0.
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
// The files zipped by the 7z tool with these switches; 7z noise is stored about as it is, so the
// second file's data lies where the first one's ends.
QByteArray by7z(const Files& files, const QString& switches) {
    return made("7z a -bd m.bin " + switches + ' ' + files.keys().join(' ') +
                    ">/dev/null && mv m.bin out",
                files);
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
        Scratch scratch;
        QVERIFY(testing::writeFile(scratch.path(name), bytes));
        ProgressLog log;
        log.stopWhen = [&] {
            return trouble == Cancel || (trouble == CancelLater && !log.fractions.empty());
        };
        std::optional<testing::FileSizeLimit> fullDisk;
        if (trouble == FullDisk)
            fullDisk.emplace(kMiB);
        const int result = extractTo(scratch.path(name), scratch.path("out"), password, &log);
        fullDisk.reset();
        QCOMPARE(result, expected);
        Files found;
        for (const QString& path : testing::treeListing(scratch.path("out")))
            if (!path.endsWith('/'))
                found[path] = testing::readFile(scratch.path("out/" + path));
        QCOMPARE(found.keys(), left.keys());
        QVERIFY(found == left);
        QCOMPARE(scratch.leftovers(), QStringList());
        QStringList beside =
            QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        beside.removeOne("out");
        beside.removeOne("tmp");
        QCOMPARE(beside, QStringList{name});
        if (expected == cfr::Ok && left.isEmpty()) // a job with nothing to write makes no folder
            QVERIFY(!QFileInfo::exists(scratch.path("out")));
        if (expected == cfr::Ok && !log.fractions.empty()) {
            QVERIFY(log.nonDecreasing());
            QCOMPARE(log.last(), 1.0);
        }
    }

private slots:
    void tarFamily_data() {
        columns();
        row("climbing names are skipped", "h.tar",
            tar({{"../evil.txt", "x"},
                 {"/abs.txt", "x"},
                 {"a/../../b", "x"},
                 {"..\\up.txt", "x"},
                 {".", "x"},
                 {"ok.txt", "fine"}}),
            None, cfr::Ok, {{"ok.txt", "fine"}});
        row("names are made normal", "n.tar",
            tar({{"./x/y", "1"}, {"p//q/./r", "2"}, {"m/n/../o", "3"}}), None, cfr::Ok,
            {{"x/y", "1"}, {"p/q/r", "2"}, {"m/o", "3"}});
        // A stream without a name inside, and a tar entry named "data", take the archive's name.
        row("nameless stream", ".gz", gzipped("body"), None, cfr::Ok, {{"data", "body"}});
        row("entry named data", "bundle.tar", tar({{"data", "payload"}, {"other", "o"}}), None,
            cfr::Ok, {{"bundle", "payload"}, {"other", "o"}});
        row("a file where a folder must go", "b.tar",
            tar({{"block", "a file"}, {"block/inner.txt", "x"}}), None, cfr::Failed,
            {{"block", "a file"}});
        // Linking the file to itself must not remove it first.
        row("hard link to itself", "l.tar", tar({{"a", "text"}, link("a", "a", true)}), None,
            cfr::Ok, {{"a", "text"}});
        row("gnu sparse", "s.tar", made(kSparseTar), None, cfr::Ok, {{"f", kSparse}});
        // A disk image starts with zeros, which libarchive would take for an empty tar; a gzip
        // inside a single stream is the stream's one file.
        const QByteArray image = QByteArray(1024, '\0') + "boot sector";
        row("gz of zeros", "disk.img.gz", gzipped(image), None, cfr::Ok, {{"disk.img", image}});
        row("gz of a gz", "x.gz", gzipped(gzipped("x")), None, cfr::Ok, {{"x", gzipped("x")}});
        // What came out whole stays; the entry being written when things went wrong goes.
        const QByteArray first = testing::noiseBytes(300000, 1);
        const QByteArray big = testing::noiseBytes(3 * kMiB, 2);
        const QByteArray tgz = tar({{"first", first}, {"big", big}}, "gzip");
        row("truncated", "t.tar.gz", tgz.left(tgz.size() / 2), None, cfr::Failed,
            {{"first", first}});
        row("cancel", "t.tar.gz", tgz, Cancel, cfr::Cancelled, {});
        row("full disk tar.gz", "f.tar.gz", tgz, FullDisk, cfr::Failed, {{"first", first}});
        row("full disk gz", "big.gz", gzipped(big), FullDisk, cfr::Failed, {});
    }
    void tarFamily() { check(); }

    void zipAndPackage_data() {
        columns();
        const QByteArray text = QByteArray("some text ").repeated(500);
        const Files a{{"a.txt", text}};
        const QByteArray two = made("zip -q m.zip a.txt b.txt && mv m.zip out",
                                    {{"a.txt", text}, {"b.txt", text + "b"}});
        // b's central record points at a's local entry: the same data counted twice.
        row("overlapping entries", "o.zip", patched(two, 1, 42, -1, 0), None, cfr::Failed, {});
        row("inflates past its size", "p.zip", patched(two, 1, 24, 22, text.size() - 10), None,
            cfr::Failed, a);
        row("ends short of its size", "p.zip", patched(two, 1, 24, 22, text.size() + 10), None,
            cfr::Failed, a);
        row("damaged data", "d.zip", flipped(two, two.indexOf("b.txt") + 50), None, cfr::Failed, a);
        row("nothing but the end record", "e.zip", QByteArray("PK\x05\x06", 4) + QByteArray(18, 0),
            None, cfr::Ok, {});
        // A damaged AES entry fails its authentication whether 7-Zip stored or deflated it.
        const QByteArray noise = testing::noiseBytes(200000);
        const QByteArray lines = QByteArray("compressible line\n").repeated(20000);
        for (const QByteArray& content : {noise, lines}) {
            const QByteArray aes = by7z({{"data.bin", content}}, "-tzip -mem=AES256 -ppw");
            row(content == noise ? "7-Zip AES stored, damaged" : "7-Zip AES deflated, damaged",
                "aes.zip", flipped(aes, aes.indexOf("data.bin") + 150), None, cfr::BadPassword, {});
        }
        const QByteArray small = testing::noiseBytes(20000, 1);
        const QByteArray big = testing::noiseBytes(3 * kMiB, 2);
        QTemporaryDir tmp;
        testing::writeFile(tmp.path() + "/small", small);
        testing::writeFile(tmp.path() + "/big", big);
        for (const QString name : {"f.zip", "f.cfr"})
            QCOMPARE(packPaths({tmp.path() + "/small", tmp.path() + "/big"},
                               tmp.path() + '/' + name, name.endsWith("cfr") ? "pw" : ""),
                     int(cfr::Ok));
        const QByteArray package = testing::readFile(tmp.path() + "/f.cfr");
        row("full disk zip", "f.zip", testing::readFile(tmp.path() + "/f.zip"), FullDisk,
            cfr::Failed, {{"small", small}});
        // The plugin reads these, the entries shared out among the cores.
        const QByteArray aes2 = by7z({{"small", small}, {"big", big}}, "-tzip -mem=AES256 -ppw");
        row("7-Zip AES, cancel", "a.zip", aes2, Cancel, cfr::Cancelled, {});
        // One entry proves the password: the other one's failure is damage, in any order.
        row("7-Zip AES, one entry damaged", "a.zip", flipped(aes2, aes2.size() / 2), None,
            cfr::Failed, {{"small", small}});
        // The package's inner zip is written to the temporary folder first, and fails there.
        row("full disk package", "f.cfr", package, FullDisk, cfr::Failed, {});
        // A package is told by its content, whatever its name.
        row("package of another name", "f.data", package, None, cfr::Ok,
            {{"small", small}, {"big", big}});
        row("package, wrong password", "f.cfr", package, None, cfr::BadPassword, {}, "pW");
    }
    void zipAndPackage() { check(); }

    void sevenZip_data() {
        columns();
        if (!(cfr::formatCaps(cfr::SevenZip) & cfr::CapEncrypt))
            QSKIP("the 7z plugin (p7zip-full) is needed");
        const QByteArray first = testing::noiseBytes(60000, 1);
        const QByteArray second = testing::noiseBytes(60000, 2);
        const QByteArray plain = by7z({{"1.bin", first}, {"2.bin", second}}, "");
        const QByteArray locked = by7z({{"1.bin", first}, {"2.bin", second}}, "-ppw");
        const int inSecond = 32 + 90000;
        const Files one{{"1.bin", first}};
        row("last byte missing", "l.7z", plain.chopped(1), None, cfr::OpenFailed, {}, "");
        row("damaged plain", "d.7z", flipped(plain, inSecond), None, cfr::Failed, one, "");
        row("damaged encrypted", "d.7z", flipped(locked, inSecond), None, cfr::Failed, one);
        row("wrong password", "w.7z", locked, None, cfr::BadPassword, {}, "nope");
        // Encrypted names cannot even be listed under the wrong password.
        row("names encrypted, wrong password", "h.7z", by7z({{"1.bin", first}}, "-ppw -mhe=on"),
            None, cfr::OpenFailed, {}, "nope");
        const QByteArray big = testing::noiseBytes(3 * kMiB, 3);
        row("full disk", "f.7z", by7z({{"1.bin", first}, {"2.bin", big}}, "-ppw"), FullDisk,
            cfr::Failed, one);
        row("cancel", "c.7z", plain, Cancel, cfr::Cancelled, {}, "");
        QTemporaryDir tmp;
        packPaths(makeSampleTree(tmp.path() + "/src"), tmp.path() + "/p.7z", "pw");
        row("cancel between entries", "c.7z", testing::readFile(tmp.path() + "/p.7z"), CancelLater,
            cfr::Cancelled, {});
    }
    void sevenZip() { check(); }

    // Nothing of the tar family can be encrypted: the probe answers without reading, so a pipe
    // nobody writes to cannot hold it up.
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
