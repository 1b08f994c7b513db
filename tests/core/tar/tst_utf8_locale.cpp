// Run without a QCoreApplication, which would set the locale itself: the process starts in
// the "C" locale and the first tar-family job must switch LC_CTYPE to UTF-8.
#include "cfr.h"
#include "tar_test_util.h"

#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

bool isUtf8(const char* locale) {
    return locale && (std::strstr(locale, "UTF-8") || std::strstr(locale, "utf8") ||
                      std::strstr(locale, "UTF8"));
}

bool writeRaw(const std::string& path, const char* text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    return f && std::fputs(text, f) >= 0 && std::fclose(f) == 0;
}

bool exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

class Utf8LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void firstJobSwitchesToUtf8() {
        QCOMPARE(std::setlocale(LC_CTYPE, nullptr), "C");
        QTemporaryDir tmp;
        const std::string root = tmp.path().toStdString();
        const std::string name = "Grüße 日本語.txt";
        QVERIFY(writeRaw(root + '/' + name, "hello"));

        const std::string input = root + '/' + name;
        const char* inputs[] = {input.c_str()};
        const std::string archive = root + "/u.tar";
        QCOMPARE(cfr::pack(inputs, 1, archive.c_str(), nullptr, nullptr, nullptr), int(cfr::Ok));
        QVERIFY2(isUtf8(std::setlocale(LC_CTYPE, nullptr)), std::setlocale(LC_CTYPE, nullptr));

        // The name went in as UTF-8 and comes back out unchanged.
        QCOMPARE(tartest::listEntries(QString::fromStdString(archive)),
                 QStringList{QString::fromUtf8("Grüße 日本語.txt 100644 0")});
        const std::string out = root + "/out";
        QCOMPARE(cfr::extract(archive.c_str(), out.c_str(), nullptr, nullptr, nullptr),
                 int(cfr::Ok));
        QVERIFY(exists(out + '/' + name));
    }

    void aLocaleThatCannotExpressTheNameIsNoCrash() {
        // Someone else switched back after the engine's one-time set-up.
        std::setlocale(LC_CTYPE, "C");
        QTemporaryDir tmp;
        const std::string input = tmp.path().toStdString() + "/日本.txt";
        QVERIFY(writeRaw(input, "x"));
        const char* inputs[] = {input.c_str()};
        for (const char* suffix : {"/c.tar", "/c.7z"}) {
            const std::string archive = tmp.path().toStdString() + suffix;
            const int result = cfr::pack(inputs, 1, archive.c_str(), nullptr, nullptr, nullptr);
            QVERIFY2(result == cfr::Ok || result == cfr::Failed, suffix);
        }
    }
};

QTEST_APPLESS_MAIN(Utf8LocaleTest)
#include "tst_utf8_locale.moc"
