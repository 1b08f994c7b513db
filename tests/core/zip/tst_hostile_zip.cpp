// Hostile and unusual zip archives and packages: each row states the result and exactly
// the files the destination may hold afterwards.
#include "hostile_run.h"
#include "test_support.h"
#include "zip_test_support.h"

#include <QTemporaryDir>
#include <QtTest>

#include <QtEndian>

using namespace tartest;

namespace {

// Field offsets in the zip format's central and local headers.
const int kCentralFlags = 8, kCentralSize = 24, kCentralLocalOffset = 42;
const int kLocalFlags = 6, kLocalSize = 22;

QByteArray crafted(const std::vector<ziptest::CraftedEntry>& entries, const QString& name = "z",
                   const QString& password = QString()) {
    QTemporaryDir tmp;
    ziptest::writeCraftedZip(tmp.path() + '/' + name, entries, password);
    return testing::readFile(tmp.path() + '/' + name);
}

// Rewrites a little-endian field of the index-th entry in its central record and, when
// localField is given, in its local header too.
QByteArray patched(QByteArray zip, int index, int centralField, int localField, quint32 value,
                   int width = 4) {
    int central = -1;
    for (int i = 0; i <= index; ++i)
        central = zip.indexOf("PK\x01\x02", central + 1);
    const auto put = [&](int at) {
        for (int byte = 0; byte < width; ++byte)
            zip[at + byte] = char((value >> (8 * byte)) & 0xff);
    };
    const int local =
        int(qFromLittleEndian<quint32>(zip.constData() + central + kCentralLocalOffset));
    put(central + centralField);
    if (localField >= 0)
        put(local + localField);
    return zip;
}

} // namespace

class HostileZipTest : public QObject {
    Q_OBJECT

private slots:
    void rowsEndAsStated_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<int>("expected");
        QTest::addColumn<Files>("left");

        const QByteArray text = QByteArray("some text ").repeated(500);
        const QByteArray two = crafted({{"a.txt", text}, {"b.txt", text + "b"}});
        // b's record points at a's local entry: the data of one entry counted twice.
        QTest::newRow("overlapping entries")
            << "o.zip" << patched(two, 1, kCentralLocalOffset, -1, 0) << NoTrouble
            << int(cfr::Failed) << Files{};
        // General-purpose flags 0x41: encrypted with a method libzip cannot decrypt.
        QTest::newRow("strong encryption")
            << "s.zip" << patched(two, 1, kCentralFlags, kLocalFlags, 0x41, 2) << NoTrouble
            << int(cfr::Unsupported) << Files{{"a.txt", text}};
        QTest::newRow("inflates past its size")
            << "p.zip" << patched(two, 1, kCentralSize, kLocalSize, quint32(text.size() - 10))
            << NoTrouble << int(cfr::Failed) << Files{{"a.txt", text}};
        QTest::newRow("ends short of its size")
            << "p.zip" << patched(two, 1, kCentralSize, kLocalSize, quint32(text.size() + 10))
            << NoTrouble << int(cfr::Failed) << Files{{"a.txt", text}};

        const QByteArray small = testing::noiseBytes(20000, 1);
        const QByteArray big = testing::noiseBytes(3 * kFullDiskBytes, 2);
        const QByteArray bigZip = crafted({{"small", small}, {"big", big}});
        QByteArray damaged = bigZip;
        for (int i = damaged.size() / 2; i < damaged.size() / 2 + 2; ++i)
            damaged[i] = char(~damaged[i]);
        QTest::newRow("damaged data")
            << "d.zip" << damaged << NoTrouble << int(cfr::Failed) << Files{{"small", small}};
        QTest::newRow("full disk zip")
            << "f.zip" << bigZip << FullDisk << int(cfr::Failed) << Files{{"small", small}};
        QTest::newRow("cancel zip")
            << "c.zip" << bigZip << CancelAtOnce << int(cfr::Cancelled) << Files{};

        // A package holds its files in one encrypted inner zip, extracted first to a
        // temporary folder.
        QTemporaryDir tmp;
        testing::writeFile(tmp.path() + "/small", small);
        testing::writeFile(tmp.path() + "/big", big);
        QCOMPARE(
            packPaths({tmp.path() + "/small", tmp.path() + "/big"}, tmp.path() + "/p.cfr", "pw"),
            int(cfr::Ok));
        const QByteArray package = testing::readFile(tmp.path() + "/p.cfr");
        QTest::newRow("full disk package")
            << "f.cfr" << package << FullDisk << int(cfr::Failed) << Files{};
        QTest::newRow("cancel package")
            << "c.cfr" << package << CancelAtOnce << int(cfr::Cancelled) << Files{};
    }

    void rowsEndAsStated() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(Trouble, trouble);
        QFETCH(int, expected);
        QFETCH(Files, left);
        ziptest::Scratch scratch;
        QCOMPARE(extractHostile(scratch.path(), name, bytes, trouble, "pw"), expected);
        const Files found = filesIn(scratch.path("out"));
        QCOMPARE(found.keys(), left.keys());
        for (const QString& key : left.keys())
            QVERIFY2(found[key] == left[key], qPrintable(key));
        QCOMPARE(scratch.leftovers(), QStringList());
    }
};

QTEST_GUILESS_MAIN(HostileZipTest)
#include "tst_hostile_zip.moc"
