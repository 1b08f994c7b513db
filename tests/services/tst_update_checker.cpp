// The update checker against a real HTTP server on 127.0.0.1.
#include "desktop_recorder.h"
#include "local_http_server.h"
#include "test_support.h"

#include "services/update_checker.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QByteArray manifestPath = "/downloads/coffret/version.json";
const int waitMs = 15000;

QByteArray linuxManifest(const QByteArray& entryMembers) {
    return "{\"platforms\": {\"windows\": {\"version\": \"9.0\", \"url\": \"http://x/w.exe\", "
           "\"available\": true}, \"linux\": {" +
           entryMembers + "}}}";
}

} // namespace

class UpdateCheckerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsManifest_data();
    void readsManifest();

    void reportsAFolderThatCannotBeWritten();
    void removesAnInterruptedDownload_data();
    void removesAnInterruptedDownload();
    void reportsAFailedWrite();
    void checksThePublishedDigest_data();
    void checksThePublishedDigest();

private:
    QString downloadsFolder() const { return home->path() + "/Downloads"; }
    // Serves a manifest offering url (with optional digest) and runs a check to its end.
    void offer(const QByteArray& url, const QByteArray& sha256Member = QByteArray());
    void waitUntilIdle();

    std::unique_ptr<testing::TemporaryHome> home;
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<UpdateChecker> checker;
    std::unique_ptr<DesktopRecorder> desktop;
};

void UpdateCheckerTest::init() {
    home = std::make_unique<testing::TemporaryHome>();
    server = std::make_unique<LocalHttpServer>();
    QVERIFY(server->start());
    checker = std::make_unique<UpdateChecker>();
    checker->setServerAddress(server->address());
    desktop = std::make_unique<DesktopRecorder>();
}

void UpdateCheckerTest::cleanup() {
    checker.reset();
    server.reset();
    desktop.reset();
    home.reset();
}

void UpdateCheckerTest::waitUntilIdle() {
    QTRY_VERIFY_WITH_TIMEOUT(!checker->busy(), waitMs);
}

void UpdateCheckerTest::offer(const QByteArray& url, const QByteArray& sha256Member) {
    server->answer(manifestPath, 200,
                   linuxManifest("\"version\": \"3.0\", \"available\": true, \"url\": \"" + url +
                                 "\"" + sha256Member));
    QSignalSpy available(checker.get(), &UpdateChecker::updateAvailable);
    checker->check(true);
    QVERIFY(available.wait(waitMs));
    waitUntilIdle();
}

void UpdateCheckerTest::readsManifest_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("userInitiated");
    QTest::addColumn<QString>("outcome"); // available, upToDate, failed or silent
    QTest::addColumn<QString>("warning"); // expected log line, empty for none

    const QByteArray newer =
        linuxManifest("\"version\": \"2.5.0\", \"url\": \"https://h/c.deb\", \"notes\": \"N\", "
                      "\"available\": true");
    const QByteArray same =
        linuxManifest("\"version\": \"2.4.9.51\", \"url\": \"https://h/c.deb\", "
                      "\"available\": true");
    QTest::newRow("newer, asked") << 200 << newer << true << "available"
                                  << "";
    QTest::newRow("same, automatic") << 200 << same << false << "silent"
                                     << "";
    QTest::newRow("available missing")
        << 200 << linuxManifest("\"version\": \"3.0\", \"url\": \"https://h/c\"") << true
        << "upToDate"
        << "";
    QTest::newRow("other platforms only, asked")
        << 200 << QByteArray("{\"platforms\": {\"windows\": {\"version\": \"9\"}}}") << true
        << "failed"
        << "no manifest entry for platform: linux";
    QTest::newRow("array") << 200 << QByteArray("[{\"platforms\": {}}]") << true << "failed"
                           << "parse error:";
}

void UpdateCheckerTest::readsManifest() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, userInitiated);
    QFETCH(QString, outcome);
    QFETCH(QString, warning);

    server->answer(manifestPath, status, body);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression('^' + QRegularExpression::escape(warning)));
    QSignalSpy available(checker.get(), &UpdateChecker::updateAvailable);
    QSignalSpy upToDate(checker.get(), &UpdateChecker::upToDate);
    QSignalSpy failed(checker.get(), &UpdateChecker::checkFailed);
    QSignalSpy busy(checker.get(), &UpdateChecker::busyChanged);

    checker->check(userInitiated);
    QVERIFY(checker->busy());
    waitUntilIdle();
    QCOMPARE(busy.count(), 2);

    QCOMPARE(available.count(), outcome == "available" ? 1 : 0);
    QCOMPARE(upToDate.count(), outcome == "upToDate" ? 1 : 0);
    QCOMPARE(failed.count(), outcome == "failed" ? 1 : 0);
    if (QTest::currentDataTag() == QLatin1String("newer, asked"))
        QCOMPARE(available.first(),
                 (QVariantList{QString("2.5.0"), QString("N"), QString("https://h/c.deb")}));
}

void UpdateCheckerTest::reportsAFolderThatCannotBeWritten() {
    // A file where the download folder should be: nothing can be created below it.
    QVERIFY(testing::writeFile(downloadsFolder(), "not a folder"));
    server->answer("/c.deb", 200, "payload");
    QSignalSpy failed(checker.get(), &UpdateChecker::downloadFailed);
    QSignalSpy busy(checker.get(), &UpdateChecker::busyChanged);

    checker->downloadAndInstall(server->urlOf("/c.deb").toString());
    QCOMPARE(failed.count(), 1);
    const QString message = failed.first().first().toString();
    const QString prefix = "Cannot write to " + downloadsFolder() + "/c.deb: ";
    QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size(), qPrintable(message));
    QCOMPARE(busy.count(), 0);
    QVERIFY(!checker->busy());
    QVERIFY(server->requests().isEmpty());
}

void UpdateCheckerTest::removesAnInterruptedDownload_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("delivery");
    QTest::addColumn<QByteArray>("earlierCopy"); // already in the folder under that name
    QTest::newRow("connection dropped")
        << 200 << int(LocalHttpServer::Delivery::CutShort) << QByteArray();
    QTest::newRow("http error, earlier copy kept")
        << 404 << int(LocalHttpServer::Delivery::AtOnce) << QByteArray("the earlier installer");
}

void UpdateCheckerTest::removesAnInterruptedDownload() {
    QFETCH(int, status);
    QFETCH(int, delivery);
    QFETCH(QByteArray, earlierCopy);
    const QString target = downloadsFolder() + "/c.deb";
    if (!earlierCopy.isEmpty())
        QVERIFY(testing::writeFile(target, earlierCopy));
    server->answer("/c.deb", status, testing::noiseBytes(64 * 1024),
                   LocalHttpServer::Delivery(delivery));
    QSignalSpy failed(checker.get(), &UpdateChecker::downloadFailed);
    QSignalSpy finished(checker.get(), &UpdateChecker::downloadFinished);
    checker->downloadAndInstall(server->urlOf("/c.deb").toString());
    QVERIFY(failed.wait(waitMs));
    QVERIFY(!failed.first().first().toString().isEmpty());
    QCOMPARE(finished.count(), 0);
    // A failed download neither leaves a partial file nor costs the copy that was there.
    if (earlierCopy.isEmpty())
        QVERIFY(!QFile::exists(target));
    else
        QCOMPARE(testing::readFile(target), earlierCopy);
    QCOMPARE(QDir(downloadsFolder()).entryList(QDir::Files | QDir::Hidden).size(),
             earlierCopy.isEmpty() ? 0 : 1);
    QVERIFY(desktop->opened.isEmpty());
    QVERIFY(!checker->busy());
}

void UpdateCheckerTest::reportsAFailedWrite() {
    // Files of this process cannot grow past 16 KiB for a while, as on a full disk.
    const testing::FileSizeLimit limit(16 * 1024);
    QVERIFY(limit.isSet());
    QVERIFY(testing::writeFile(downloadsFolder() + "/c.deb", "the earlier installer"));
    server->answer("/c.deb", 200, testing::noiseBytes(64 * 1024),
                   LocalHttpServer::Delivery::Slowly);
    QSignalSpy failed(checker.get(), &UpdateChecker::downloadFailed);
    QSignalSpy finished(checker.get(), &UpdateChecker::downloadFinished);
    checker->downloadAndInstall(server->urlOf("/c.deb").toString());
    QVERIFY(failed.wait(waitMs));
    QVERIFY2(failed.first().first().toString().startsWith("Cannot write to "),
             qPrintable(failed.first().first().toString()));
    QCOMPARE(finished.count(), 0);
    QVERIFY(desktop->opened.isEmpty());
    waitUntilIdle();
    QCOMPARE(testing::readFile(downloadsFolder() + "/c.deb"), QByteArray("the earlier installer"));
    QCOMPARE(QDir(downloadsFolder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void UpdateCheckerTest::checksThePublishedDigest_data() {
    QTest::addColumn<bool>("rightDigest");
    QTest::addColumn<QByteArray>("earlierCopy"); // already in the folder under that name
    QTest::newRow("mismatching") << false << QByteArray();
    QTest::newRow("matching, earlier copy replaced") << true << QByteArray("earlier");
    QTest::newRow("mismatching, earlier copy kept") << false << QByteArray("earlier");
}

void UpdateCheckerTest::checksThePublishedDigest() {
    QFETCH(bool, rightDigest);
    QFETCH(QByteArray, earlierCopy);
    const QString target = downloadsFolder() + "/c.deb";
    if (!earlierCopy.isEmpty())
        QVERIFY(testing::writeFile(target, earlierCopy));
    const QByteArray installer = testing::noiseBytes(50000, 3);
    QByteArray digest = QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex();
    if (!rightDigest)
        digest = QCryptographicHash::hash("other", QCryptographicHash::Sha256).toHex();
    server->answer("/c.deb", 200, installer);
    const QByteArray url = server->urlOf("/c.deb").toEncoded();
    // Published in capitals, as some tools print it.
    offer(url, ", \"sha256\": \"" + digest.toUpper() + "\"");

    QSignalSpy failed(checker.get(), &UpdateChecker::downloadFailed);
    QSignalSpy finished(checker.get(), &UpdateChecker::downloadFinished);
    checker->downloadAndInstall(QString::fromLatin1(url));
    QTRY_VERIFY_WITH_TIMEOUT(failed.count() + finished.count() == 1, waitMs);

    QCOMPARE(finished.count(), rightDigest ? 1 : 0);
    // A rejected file is deleted and leaves an earlier copy of the same name alone.
    const QByteArray kept = rightDigest ? installer : earlierCopy;
    if (kept.isEmpty())
        QVERIFY(!QFile::exists(target));
    else
        QCOMPARE(testing::readFile(target), kept);
    QCOMPARE(desktop->opened.size(), rightDigest ? 1 : 0);
}

QTEST_GUILESS_MAIN(UpdateCheckerTest)
#include "tst_update_checker.moc"
