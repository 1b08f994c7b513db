// A build without an update server asks nobody: every request of this process goes through a
// proxy on 127.0.0.1, which must see only the one request made once a server is configured.
#include "local_http_server.h"

#include "services/update_checker.h"

#include <QNetworkProxy>
#include <QSignalSpy>
#include <QtTest>

class UpdateHostTest : public QObject {
    Q_OBJECT

private slots:
    void asksOnlyAConfiguredServer_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("none") << QString();
        QTest::newRow("scheme without host") << "https://";
        QTest::newRow("path without host") << "/downloads";
    }

    void asksOnlyAConfiguredServer() {
        QFETCH(QString, address);
        LocalHttpServer proxy;
        QVERIFY(proxy.start());
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy.url().port()));
        UpdateChecker checker;
        checker.setServerAddress(QUrl(address));
        QSignalSpy disabled(&checker, &UpdateChecker::updatesDisabled);
        checker.check(false);
        checker.check(true);
        QVERIFY(!checker.isEnabled());
        QCOMPARE(disabled.count(), 1);

        // The same proxy sees a configured server's request, and nothing before it.
        checker.setServerAddress(QUrl("http://updates.coffret.test"));
        checker.check(true);
        QTRY_VERIFY_WITH_TIMEOUT(!checker.busy(), 15000);
        QCOMPARE(proxy.requests.size(), 1);
        QVERIFY(proxy.requests.first().endsWith("/downloads/coffret/version.json"));
        QCOMPARE(disabled.count(), 1);
    }
};

QTEST_MAIN(UpdateHostTest)
#include "tst_update_host.moc"
