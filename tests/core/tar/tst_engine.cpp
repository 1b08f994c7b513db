// Entry-point argument checks, dispatch refusals, input naming and the destination guard.
#include "cfr.h"
#include "entry_names.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <set>

using namespace tartest;

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void packArgumentChecks() {
        QTemporaryDir tmp;
        const QByteArray dest = (tmp.path() + "/a.tar").toUtf8();
        const char* nulls[] = {nullptr, nullptr, nullptr};
        QCOMPARE(cfr::pack(nulls, 3, dest.constData(), nullptr, nullptr, nullptr),
                 int(cfr::InvalidArgument));
        QCOMPARE(cfr::pack(nullptr, 1, dest.constData(), nullptr, nullptr, nullptr),
                 int(cfr::InvalidArgument));
        const QByteArray input = (tmp.path() + "/in.txt").toUtf8();
        QVERIFY(testing::writeFile(input, "in"));
        const char* one[] = {input.constData()};
        QCOMPARE(cfr::pack(one, 0, dest.constData(), nullptr, nullptr, nullptr),
                 int(cfr::InvalidArgument));
        QCOMPARE(cfr::pack(one, 1, nullptr, nullptr, nullptr, nullptr), int(cfr::InvalidArgument));
        QVERIFY(!QFileInfo::exists(dest));

        const char* mixed[] = {nullptr, input.constData(), nullptr};
        QCOMPARE(cfr::pack(mixed, 3, dest.constData(), nullptr, nullptr, nullptr), int(cfr::Ok));
        QCOMPARE(listEntries(dest), QStringList{"in.txt 100644 0"});
    }

    void kindsThatCannotTakeThisJob_data() {
        QTest::addColumn<QString>("dest");
        QTest::addColumn<QByteArray>("password");
        QTest::newRow("rar") << "a.rar" << QByteArray();
        for (const QString suffix : {".tar", ".tar.gz", ".tgz", ".tar.bz2", ".tar.xz", ".tar.zst",
                                     ".gz", ".bz2", ".xz", ".zst"})
            QTest::newRow(qPrintable(suffix + " with a password"))
                << "a" + suffix << QByteArray("pw");
    }

    void kindsThatCannotTakeThisJob() {
        QFETCH(QString, dest);
        QFETCH(QByteArray, password);
        QTemporaryDir tmp;
        QVERIFY(testing::writeFile(tmp.path() + "/in.txt", "in"));
        const QString path = tmp.path() + '/' + dest;
        QCOMPARE(packPaths({tmp.path() + "/in.txt"}, path,
                           password.isEmpty() ? nullptr : password.constData()),
                 int(cfr::Unsupported));
        QVERIFY(!QFileInfo::exists(path));
    }

    void randomPassword() {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        QCOMPARE(cfr::randomPassword(buffer, 16), -1);
        QCOMPARE(buffer[0], 'x');
        QCOMPARE(cfr::randomPassword(nullptr, 17), -1);
        QCOMPARE(cfr::randomPassword(buffer, 0), -1);
        QCOMPARE(cfr::randomPassword(buffer, 17), 16);
        QCOMPARE(std::strlen(buffer), std::size_t(16));

        const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                     "0123456789!@#$%^&*()-_=+[]{}";
        std::set<char> seen;
        std::set<std::string> passwords;
        for (int i = 0; i < 1000; ++i) {
            QCOMPARE(cfr::randomPassword(buffer, sizeof buffer), 16);
            passwords.insert(buffer);
            for (int c = 0; c < 16; ++c) {
                QVERIFY2(alphabet.find(buffer[c]) != std::string::npos, buffer);
                seen.insert(buffer[c]);
            }
        }
        // 16000 draws: every one of the 80 characters turns up, no password repeats.
        QCOMPARE(seen.size(), alphabet.size());
        QCOMPARE(passwords.size(), std::size_t(1000));
    }

    void inputNames_data() {
        QTest::addColumn<QStringList>("inputs"); // relative; a trailing '/' makes a folder
        QTest::addColumn<QStringList>("names");
        QTest::newRow("same file name")
            << QStringList{"a/notes.txt", "b/notes.txt", "c/notes.txt"}
            << QStringList{"notes.txt", "notes (1).txt", "notes (2).txt"};
        QTest::newRow("same folder name") << QStringList{"a/docs/", "b/docs/", "c/docs.v2/"}
                                          << QStringList{"docs", "docs (1)", "docs.v2"};
        QTest::newRow("folder with a dot")
            << QStringList{"a/v1.2/", "b/v1.2/"} << QStringList{"v1.2", "v1.2 (1)"};
        QTest::newRow("double extension")
            << QStringList{"a/x.tar.gz", "b/x.tar.gz"} << QStringList{"x.tar.gz", "x.tar (1).gz"};
        QTest::newRow("hidden file")
            << QStringList{"a/.profile", "b/.profile"} << QStringList{".profile", ".profile (1)"};
        QTest::newRow("a number already taken") << QStringList{"a/n (1).txt", "b/n.txt", "c/n.txt"}
                                                << QStringList{"n (1).txt", "n.txt", "n (2).txt"};
    }

    void inputNames() {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, names);
        QTemporaryDir tmp;
        std::vector<std::string> paths;
        for (const QString& input : inputs) {
            if (input.endsWith('/'))
                QVERIFY(QDir().mkpath(tmp.path() + '/' + input));
            else
                QVERIFY(testing::writeFile(tmp.path() + '/' + input, "x"));
            QString path = tmp.path() + '/' + input;
            paths.push_back(path.toStdString());
        }
        QStringList got;
        for (const auto& named : cfr::nameInputs(paths))
            got << QString::fromStdString(named.name);
        QCOMPARE(got, names);
    }

    // A link the user already has in the destination must not carry entries elsewhere; the
    // link's own name may still be replaced by a file.
    void linksInTheDestinationAreNotFollowed() {
        QTemporaryDir tmp;
        const QString dest = tmp.path() + "/dest";
        const QString outside = tmp.path() + "/outside";
        QVERIFY(QDir().mkpath(dest + "/real") && QDir().mkpath(outside));
        QVERIFY(QFile::link(outside, dest + "/link"));
        const QString staging = tmp.path() + "/staging";
        QVERIFY(testing::writeFile(staging + "/link/evil.txt", "evil"));
        QVERIFY(testing::writeFile(staging + "/real/fine.txt", "fine"));
        const QString archive = tmp.path() + "/a.tar";
        QCOMPARE(
            testing::runTool("bsdtar", {"-cf", archive, "-C", staging, "link", "real"}).exitCode,
            0);
        QCOMPARE(cfr::extract(QFile::encodeName(archive).constData(),
                              QFile::encodeName(dest).constData(), nullptr, nullptr, nullptr),
                 int(cfr::Ok));
        QVERIFY(!QFile::exists(outside + "/evil.txt"));
        QCOMPARE(testing::readFile(dest + "/real/fine.txt"), QByteArray("fine"));
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
