// The update checker against a real HTTP server on 127.0.0.1, also serving as a proxy.
#include "test_support.h"

#include "services/update_checker.h"

#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

// HTTP/1.1 on 127.0.0.1: a fixed answer per path, 404 for any other.
class LocalHttpServer : public QTcpServer {
public:
    LocalHttpServer() {
        connect(this, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        });
    }
    QUrl url(const QString& path = QString()) const {
        return QUrl(QString("http://127.0.0.1:%1%2").arg(serverPort()).arg(path));
    }

    QHash<QByteArray, std::pair<int, QByteArray>> answers; // by path: status and body
    QList<QByteArray> requests;                            // the paths asked for, in order

private:
    void serve(QTcpSocket* socket) {
        const QByteArray head = socket->peek(socket->bytesAvailable());
        if (!head.contains("\r\n\r\n"))
            return;
        socket->readAll();
        requests << head.split(' ').value(1);
        const auto [status, body] = answers.value(requests.last(), {404, "no such file"});
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Answer\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
};

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

    QString target() const { return home->path() + "/Downloads/c.deb"; }

    std::unique_ptr<testing::TemporaryHome> home;
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<UpdateChecker> checker;

public:
    QList<QUrl> opened; // what the program asked the desktop to open

public slots:
    void open(const QUrl& url) { opened << url; }

private slots:
    void init() {
        home = std::make_unique<testing::TemporaryHome>();
        server = std::make_unique<LocalHttpServer>();
        QVERIFY(server->listen(QHostAddress::LocalHost));
        checker = std::make_unique<UpdateChecker>();
        checker->setServerAddress(server->url());
        QDesktopServices::setUrlHandler("file", this, "open");
        opened.clear();
    }

    void cleanup() {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QDesktopServices::unsetUrlHandler("file");
        checker.reset();
        server.reset();
        home.reset();
    }

    void readsManifest_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("userInitiated");
        QTest::addColumn<QString>("outcome"); // available, upToDate, silent or "failed: <log line>"

        QTest::newRow("newer, asked")
            << linuxManifest("\"version\": \"2.5.0\", \"url\": \"https://h/c.deb\", \"notes\": "
                             "\"N\", \"available\": true")
            << true << "available";
        QTest::newRow("same, automatic")
            << linuxManifest("\"version\": \"2.4.9.51\", \"url\": \"https://h/c.deb\", "
                             "\"available\": true")
            << false << "silent";
        QTest::newRow("available missing")
            << linuxManifest("\"version\": \"3.0\", \"url\": \"https://h/c\"") << true
            << "upToDate";
        QTest::newRow("other platforms only, asked")
            << QByteArray("{\"platforms\": {\"windows\": {\"version\": \"9\"}}}") << true
            << "failed: no manifest entry for platform: linux";
        QTest::newRow("array") << QByteArray("[{\"platforms\": {}}]") << true
                               << "failed: parse error:";
    }

    void readsManifest() {
        QFETCH(QByteArray, body);
        QFETCH(bool, userInitiated);
        QFETCH(QString, outcome);

        server->answers[manifestPath] = {200, body};
        if (outcome.startsWith("failed: "))
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression('^' + QRegularExpression::escape(outcome.mid(8))));
        QSignalSpy available(checker.get(), &UpdateChecker::updateAvailable);
        QSignalSpy upToDate(checker.get(), &UpdateChecker::upToDate);
        QSignalSpy failed(checker.get(), &UpdateChecker::checkFailed);
        QSignalSpy busy(checker.get(), &UpdateChecker::busyChanged);

        checker->check(userInitiated);
        QTRY_VERIFY_WITH_TIMEOUT(!checker->busy(), waitMs);
        QCOMPARE(busy.count(), 2); // on, then off

        QCOMPARE(available.count(), outcome == "available" ? 1 : 0);
        QCOMPARE(upToDate.count(), outcome == "upToDate" ? 1 : 0);
        QCOMPARE(failed.count(), outcome.startsWith("failed") ? 1 : 0);
        if (outcome == "available")
            QCOMPARE(available.first(),
                     (QVariantList{QString("2.5.0"), QString("N"), QString("https://h/c.deb")}));
    }

    void reportsAFolderThatCannotBeWritten() {
        // A file where the download folder should be: nothing can be created below it.
        QVERIFY(testing::writeFile(QFileInfo(target()).path(), "not a folder"));
        QSignalSpy failed(checker.get(), &UpdateChecker::downloadFailed);
        checker->downloadAndInstall(server->url("/c.deb").toString());
        QVERIFY(!checker->busy()); // nothing asked for
        QCOMPARE(failed.count(), 1);
        const QString message = failed.first().first().toString();
        const QString prefix = "Cannot write to " + target() + ": ";
        QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size(), qPrintable(message));
    }

    // The earlier copy of an installer is replaced only by a download that arrived whole,
    // was written whole and matches its published digest.
    void downloadReplacesTheEarlierCopy_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("digest");  // published in the manifest: right, wrong or none
        QTest::addColumn<QString>("failure"); // how the message starts; "-" for success
        QTest::newRow("http error") << 404 << false << QString() << QString();
        QTest::newRow("disk full") << 200 << true << QString() << "Cannot write to ";
        QTest::newRow("digest mismatch") << 200 << false << "wrong"
                                         << "The downloaded file does not match";
        QTest::newRow("digest match") << 200 << false << "right"
                                      << "-";
    }

    void downloadReplacesTheEarlierCopy() {
        QFETCH(int, status);
        QFETCH(bool, diskFull);
        QFETCH(QString, digest);
        QFETCH(QString, failure);
        QVERIFY(testing::writeFile(target(), "the earlier installer"));
        const QByteArray installer = testing::noiseBytes(64 * 1024, 3);
        server->answers["/c.deb"] = {status, installer};
        const QByteArray url = server->url("/c.deb").toEncoded();
        if (!digest.isEmpty()) {
            const QByteArray published = digest == "right" ? installer : "other";
            const QByteArray hex = QCryptographicHash::hash(published, QCryptographicHash::Sha256);
            // Published in capitals, as some tools print it.
            server->answers[manifestPath] = {
                200, linuxManifest("\"version\": \"3.0\", \"available\": true, \"url\": \"" + url +
                                   "\", \"sha256\": \"" + hex.toHex().toUpper() + "\"")};
            QSignalSpy available(checker.get(), &UpdateChecker::updateAvailable);
            checker->check(true);
            QVERIFY(available.wait(waitMs)); // no longer busy by then
        }
        // Files of this process cannot grow past 16 KiB for a while, as on a full disk.
        std::unique_ptr<testing::FileSizeLimit> limit;
        if (diskFull)
            limit = std::make_unique<testing::FileSizeLimit>(16 * 1024);

        QSignalSpy failed(checker.get(), &UpdateChecker::downloadFailed);
        QSignalSpy finished(checker.get(), &UpdateChecker::downloadFinished);
        checker->downloadAndInstall(QString::fromLatin1(url));
        QTRY_VERIFY_WITH_TIMEOUT(failed.count() + finished.count() == 1, waitMs);
        QVERIFY(!checker->busy());
        limit.reset();

        const bool succeeds = failure == "-";
        QCOMPARE(finished.count(), succeeds ? 1 : 0);
        if (!succeeds) {
            const QString message = failed.first().first().toString();
            QVERIFY2(!message.isEmpty() && message.startsWith(failure), qPrintable(message));
        }
        // Never a partial file beside it, and the desktop opens only a sound installer.
        QCOMPARE(testing::readFile(target()),
                 succeeds ? installer : QByteArray("the earlier installer"));
        QCOMPARE(QDir(QFileInfo(target()).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(opened, succeeds ? QList<QUrl>{QUrl::fromLocalFile(target())} : QList<QUrl>());
    }

    // A build without an update server (none, or a path without a host) asks nobody: every
    // request goes through the local server as a proxy, which must see only the one made once
    // a server is configured.
    void asksOnlyAConfiguredServer() {
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", server->url().port()));
        QSignalSpy disabled(checker.get(), &UpdateChecker::updatesDisabled);
        for (const QUrl& address : {QUrl(), QUrl("/downloads")}) {
            checker->setServerAddress(address);
            checker->check(false);
            checker->check(true);
            QVERIFY(!checker->isEnabled());
        }
        QCOMPARE(disabled.count(), 2);

        checker->setServerAddress(QUrl("http://updates.coffret.test"));
        checker->check(true);
        QTRY_VERIFY_WITH_TIMEOUT(!checker->busy(), waitMs);
        QCOMPARE(server->requests, QList<QByteArray>{"http://updates.coffret.test" + manifestPath});
        QCOMPARE(disabled.count(), 2);
    }
};

QTEST_GUILESS_MAIN(UpdateCheckerTest)
#include "tst_update_checker.moc"
