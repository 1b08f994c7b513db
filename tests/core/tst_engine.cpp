// Entry points: argument checks, kinds and capabilities, the two probes, input naming, the
// random password and the destination guard; the text the 7-Zip plugin hands over, read
// leniently.
#include "cfr.h"
#include "core_test_util.h"
#include "entry_names.h"
#include "p7/p7_backend.h"
#include "p7/p7_text.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <set>
#include <unistd.h>
#include <vector>

using namespace coretest;

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void argumentChecks() {
        QTemporaryDir tmp;
        const QByteArray dest = (tmp.path() + "/a.tar").toUtf8();
        const auto pack = [&](const char* const* inputs, int count, const char* to) {
            return cfr::pack(inputs, count, to, nullptr, nullptr, nullptr);
        };
        const char* nulls[] = {nullptr, nullptr, nullptr};
        QCOMPARE(pack(nulls, 3, dest.constData()), int(cfr::InvalidArgument));
        QCOMPARE(pack(nullptr, 1, dest.constData()), int(cfr::InvalidArgument));
        const QByteArray input = (tmp.path() + "/in.txt").toUtf8();
        QVERIFY(testing::writeFile(input, "in"));
        const char* one[] = {input.constData()};
        QCOMPARE(pack(one, 0, dest.constData()), int(cfr::InvalidArgument));
        QCOMPARE(pack(one, 1, nullptr), int(cfr::InvalidArgument));
        QVERIFY(!QFileInfo::exists(dest));
        QCOMPARE(cfr::extract(nullptr, "x", nullptr, nullptr, nullptr), int(cfr::InvalidArgument));
        QCOMPARE(cfr::extract("a.tar", nullptr, nullptr, nullptr, nullptr),
                 int(cfr::InvalidArgument));
        QCOMPARE(cfr::archiveKind(nullptr), int(cfr::Unknown));
        QCOMPARE(cfr::archiveSupported(nullptr), 0);
        QCOMPARE(cfr::archiveNeedsPassword(nullptr), 0);

        const char* mixed[] = {nullptr, input.constData(), nullptr};
        QCOMPARE(pack(mixed, 3, dest.constData()), int(cfr::Ok));
        QCOMPARE(listEntries(dest), QStringList{"in.txt 100644 0"});

        // Places where nothing can be written or read, and what no writer takes.
        const QByteArray blocked = input + "/x";
        const QByteArray folder = tmp.path().toUtf8();
        for (const QByteArray suffix : {".zip", ".7z", ".tar"}) {
            QCOMPARE(pack(one, 1, blocked + suffix), int(cfr::OpenFailed));
            QCOMPARE(cfr::extract(blocked + suffix, folder, nullptr, nullptr, nullptr),
                     int(cfr::OpenFailed));
        }
        QCOMPARE(pack(one, 1, folder + "/a.rar"), int(cfr::Unsupported));
        QCOMPARE(cfr::pack(one, 1, folder + "/a.cfr", "", nullptr, nullptr, nullptr),
                 int(cfr::InvalidArgument));
        QCOMPARE(cfr::extract(dest, "", nullptr, nullptr, nullptr), int(cfr::InvalidArgument));
        char small[4];
        QCOMPARE(cfr::archiveFirstVolume(dest, small, sizeof small), -1);
        QCOMPARE(cfr::archiveFirstVolume(nullptr, small, sizeof small), -1);
    }

    void kindFollowsTheBaseNameOnly_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("upper tar.gz") << "/x/ARCHIVE.TAR.GZ" << int(cfr::TarGz);
        QTest::newRow("folder named like a zip") << "x.zip/readme" << int(cfr::Unknown);
        QTest::newRow("backslash separates") << "C:\\stuff\\b.zip" << int(cfr::Zip);
        QTest::newRow("later part of an old-style rar set") << "a.R07" << int(cfr::Rar);
        QTest::newRow("not a rar part") << "a.r7" << int(cfr::Unknown);
        QTest::newRow("non-ASCII letters") << QString::fromUtf8("ÄRCHIV.TÄR") << int(cfr::Unknown);
    }

    void kindFollowsTheBaseNameOnly() {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(cfr::archiveKind(path.toUtf8().constData()), kind);
    }

    void capabilities() {
        QCOMPARE(cfr::formatCaps(cfr::Rar), int(cfr::CapExtract));
        QCOMPARE(cfr::formatCaps(cfr::SevenZip), cfr::p7Available() ? 7 : 3);
        QCOMPARE(cfr::formatCaps(-7), 0);
        // Asked of libarchive, which may be built without them.
        QCOMPARE(cfr::formatCaps(cfr::TarBz2), int(cfr::CapPack | cfr::CapExtract));
        QCOMPARE(cfr::formatCaps(cfr::Zst), int(cfr::CapPack | cfr::CapExtract));
    }

    void probesOnRealFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("command"); // makes "$0" from the file "$1"
        QTest::addColumn<int>("supported");
        QTest::addColumn<int>("needsPassword");
        const auto row = [](const char* tag, const char* name, const QString& command,
                            int supported, int needsPassword) {
            QTest::newRow(tag) << name << command << supported << needsPassword;
        };
        row("tar.gz", "a.tar.gz", R"(bsdtar -czf "$0" "$1")", 1, 0);
        row("encrypted zip without a suffix", "backup.bin", R"(zip -qj -P secret "$0" "$1")", 1, 1);
        row("encrypted 7z", "e.7z", R"(7z a -psecret "$0" "$1")", 1, 1);
        row("7z with encrypted names", "h.7z", R"(7z a -psecret -mhe=on "$0" "$1")", 0, 1);
        row("text named zip", "t.zip", R"(cp "$1" "$0")", 0, 0);
        row("encrypted rar", "e.rar",
            "cp '" + testing::testData("rar/rar4_encrypted.rar") + "' \"$0\"", 1, 1);
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
        QCOMPARE(testing::runTool("sh", {"-c", command + " >/dev/null", path, input}).exitCode, 0);
        const QByteArray utf8 = path.toUtf8();
        QCOMPARE(cfr::archiveSupported(utf8.constData()), supported);
        QCOMPARE(cfr::archiveNeedsPassword(utf8.constData()), needsPassword);
    }

    void randomPassword() {
        char buffer[32] = {'x'};
        QCOMPARE(cfr::randomPassword(buffer, 16), -1);
        QCOMPARE(buffer[0], 'x');
        QCOMPARE(cfr::randomPassword(nullptr, 17), -1);
        // 16000 draws: each of the 80 characters turns up, and nothing else; no password repeats.
        const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                     "0123456789!@#$%^&*()-_=+[]{}";
        std::set<char> seen;
        std::set<std::string> passwords;
        for (int i = 0; i < 1000; ++i) {
            QCOMPARE(cfr::randomPassword(buffer, 17), 16);
            QCOMPARE(std::strlen(buffer), std::size_t(16));
            passwords.insert(buffer);
            seen.insert(buffer, buffer + 16);
        }
        QVERIFY(seen == std::set<char>(alphabet.begin(), alphabet.end()));
        QCOMPARE(passwords.size(), std::size_t(1000));
    }

    void inputNames_data() {
        QTest::addColumn<QStringList>("inputs"); // relative
        QTest::addColumn<QStringList>("names");
        QTest::newRow("same file name")
            << QStringList{"a/notes.txt", "b/notes.txt", "c/notes.txt"}
            << QStringList{"notes.txt", "notes (1).txt", "notes (2).txt"};
        QTest::newRow("double extension")
            << QStringList{"a/x.tar.gz", "b/x.tar.gz"} << QStringList{"x.tar.gz", "x.tar (1).gz"};
        QTest::newRow("a number already taken") << QStringList{"a/n (1).txt", "b/n.txt", "c/n.txt"}
                                                << QStringList{"n (1).txt", "n.txt", "n (2).txt"};
    }

    void inputNames() {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, names);
        QTemporaryDir tmp;
        std::vector<std::string> paths;
        for (const QString& input : inputs) {
            QVERIFY(testing::writeFile(tmp.path() + '/' + input, "x"));
            paths.push_back((tmp.path() + '/' + input).toStdString());
        }
        QStringList got;
        for (const auto& named : cfr::nameInputs(paths))
            got << QString::fromStdString(named.name);
        QCOMPARE(got, names);
    }

    // Links the user already has in the destination must not carry entries elsewhere; a link's
    // own name may still be replaced by a file.
    void linksInTheDestinationAreNotFollowed() {
        QTemporaryDir tmp;
        const QString dest = tmp.path() + "/dest";
        const QString outside = tmp.path() + "/outside";
        QVERIFY(QDir().mkpath(dest + "/real") && QDir().mkpath(outside));
        QVERIFY(testing::writeFile(outside + "/keep.txt", "keep me"));
        QVERIFY(QFile::link(outside, dest + "/link"));
        QVERIFY(QFile::link(outside + "/keep.txt", dest + "/x.txt"));
        QCOMPARE(::link(QFile::encodeName(outside + "/keep.txt").constData(),
                        QFile::encodeName(dest + "/hard.txt").constData()),
                 0);
        const QString archive = tmp.path() + "/a.tar";
        QVERIFY(writeTar(archive, {{"link/", {}, 0040000},
                                   {"link/evil.txt", "evil"},
                                   {"real/fine.txt", "fine"},
                                   {"x.txt", "new"},
                                   {"hard.txt", "new too"}}));
        QCOMPARE(extractTo(archive, dest), int(cfr::Ok));
        QCOMPARE(testing::treeListing(outside), QStringList{"keep.txt"});
        QCOMPARE(testing::readFile(outside + "/keep.txt"), QByteArray("keep me"));
        QVERIFY(!QFileInfo(dest + "/x.txt").isSymLink());
        QCOMPARE(testing::readFile(dest + "/hard.txt"), QByteArray("new too"));
        QCOMPARE(testing::readFile(dest + "/real/fine.txt"), QByteArray("fine"));
    }

    void lenientUtf8_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QVector<uint>>("wide");
        QTest::addColumn<bool>("roundTrips");
        QTest::newRow("four bytes")
            << QByteArray("\xF0\x9F\x98\x80") << QVector<uint>{0x1F600} << true;
        QTest::newRow("stray continuation")
            << QByteArray("\x80z") << QVector<uint>{0x80, 'z'} << false;
        QTest::newRow("cut short") << QByteArray("\xE2\x82") << QVector<uint>{0x82} << false;
    }

    void lenientUtf8() {
        QFETCH(QByteArray, utf8);
        QFETCH(QVector<uint>, wide);
        QFETCH(bool, roundTrips);
        const std::wstring decoded = cfr::utf8ToWide(utf8.toStdString());
        QCOMPARE(QVector<uint>(decoded.begin(), decoded.end()), wide);
        if (roundTrips)
            QCOMPARE(QByteArray::fromStdString(cfr::wideToUtf8(decoded.c_str())), utf8);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
