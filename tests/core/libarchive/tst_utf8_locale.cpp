// Run without a QCoreApplication, which would set the locale itself: the process starts in
// the "C" locale and the first tar-family job must switch LC_CTYPE to UTF-8.
#include "core_test_util.h"
#include "test_support.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>

class Utf8LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void firstJobSwitchesToUtf8() {
        QCOMPARE(std::setlocale(LC_CTYPE, nullptr), "C");
        QTemporaryDir tmp;
        const QString name = QString::fromUtf8("Grüße 日本語.txt");
        QVERIFY(testing::writeFile(tmp.path() + '/' + name, "hello"));
        const QString archive = tmp.path() + "/u.tar";
        QCOMPARE(coretest::packPaths({tmp.path() + '/' + name}, archive), int(cfr::Ok));
        const QString locale = std::setlocale(LC_CTYPE, nullptr);
        QVERIFY2(locale.contains(
                     QRegularExpression("utf-?8", QRegularExpression::CaseInsensitiveOption)),
                 qPrintable(locale));
        // The name went in as UTF-8 and comes back out unchanged.
        QCOMPARE(coretest::listEntries(archive), QStringList{name + " 100644 0"});
        QCOMPARE(coretest::extractTo(archive, tmp.path() + "/out"), int(cfr::Ok));
        QVERIFY(QFileInfo::exists(tmp.path() + "/out/" + name));
    }

    void aLocaleThatCannotExpressTheNameIsNoCrash() {
        // Someone else switched back after the engine's one-time set-up.
        std::setlocale(LC_CTYPE, "C");
        QTemporaryDir tmp;
        QVERIFY(testing::writeFile(tmp.path() + QString::fromUtf8("/日本.txt"), "x"));
        for (const char* suffix : {"/c.tar", "/c.7z"}) {
            const int result = coretest::packPaths({tmp.path() + QString::fromUtf8("/日本.txt")},
                                                   tmp.path() + suffix);
            QVERIFY2(result == cfr::Ok || result == cfr::Failed, suffix);
        }
    }
};

QTEST_APPLESS_MAIN(Utf8LocaleTest)
#include "tst_utf8_locale.moc"
