// Damaged 7z archives, plain and encrypted, a full disk and a cancel, through the plugin:
// each row states the result and exactly the files the destination may hold afterwards.
#include "cfr.h"
#include "hostile_run.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tartest;

namespace {

// 1.bin and 2.bin packed by 7-Zip itself; noise is stored about as it is, so the second
// file's data lies in the second half of the archive.
QByteArray sevenZip(const QByteArray& first, const QByteArray& second, const QString& password) {
    QTemporaryDir tmp;
    testing::writeFile(tmp.path() + "/1.bin", first);
    testing::writeFile(tmp.path() + "/2.bin", second);
    QStringList args{"a", "-bd", "a.7z", "1.bin", "2.bin"};
    if (!password.isEmpty())
        args << "-p" + password;
    testing::runTool("7z", args, tmp.path());
    return testing::readFile(tmp.path() + "/a.7z");
}

QByteArray flippedAt(QByteArray bytes, int at) {
    bytes[at] = char(~bytes[at]);
    bytes[at + 1] = char(~bytes[at + 1]);
    return bytes;
}

} // namespace

class Hostile7zTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!(cfr::formatCaps(cfr::SevenZip) & cfr::CapEncrypt))
            QFAIL("the 7z plugin (p7zip-full) is needed");
    }

    void rowsEndAsStated_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("password");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<int>("expected");
        QTest::addColumn<Files>("left");

        const QByteArray first = testing::noiseBytes(60000, 1);
        const QByteArray second = testing::noiseBytes(60000, 2);
        const QByteArray plain = sevenZip(first, second, QString());
        const QByteArray locked = sevenZip(first, second, "pw");
        // Two bytes in the middle of the second file's data.
        const int inSecond = 32 + 60000 + 30000;
        QTest::newRow("damaged plain") << flippedAt(plain, inSecond) << QString() << NoTrouble
                                       << int(cfr::Failed) << Files{{"1.bin", first}};
        QTest::newRow("damaged encrypted, right password")
            << flippedAt(locked, inSecond) << "pw" << NoTrouble << int(cfr::Failed)
            << Files{{"1.bin", first}};
        QTest::newRow("wrong password")
            << locked << "nope" << NoTrouble << int(cfr::BadPassword) << Files{};

        const QByteArray big = testing::noiseBytes(3 * kFullDiskBytes, 3);
        QTest::newRow("full disk plain") << sevenZip(first, big, QString()) << QString() << FullDisk
                                         << int(cfr::Failed) << Files{{"1.bin", first}};
        QTest::newRow("full disk encrypted") << sevenZip(first, big, "pw") << "pw" << FullDisk
                                             << int(cfr::Failed) << Files{{"1.bin", first}};
        QTest::newRow("cancel") << plain << QString() << CancelAtOnce << int(cfr::Cancelled)
                                << Files{};
    }

    void rowsEndAsStated() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, password);
        QFETCH(Trouble, trouble);
        QFETCH(int, expected);
        QFETCH(Files, left);
        QVERIFY(!bytes.isEmpty());
        QTemporaryDir tmp;
        QCOMPARE(extractHostile(tmp.path(), "a.7z", bytes, trouble, password), expected);
        const Files found = filesIn(tmp.path() + "/out");
        QCOMPARE(found.keys(), left.keys());
        for (const QString& key : left.keys())
            QVERIFY2(found[key] == left[key], qPrintable(key));
    }
};

QTEST_GUILESS_MAIN(Hostile7zTest)
#include "tst_hostile_7z.moc"
