// The command-line grammar, argument decoding and the names given to new folders and archives.
#include "app/command_line.h"
#include "app/unique_names.h"
#include "argv.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

Q_DECLARE_METATYPE(CommandForm)

namespace {

void makeEntries(const QString& root, const QStringList& entries) {
    for (const QString& entry : entries) {
        if (entry.endsWith('/'))
            QVERIFY(QDir().mkpath(root + '/' + entry));
        else
            QVERIFY(testing::writeFile(root + '/' + entry, "x"));
    }
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void grammar_data();
    void grammar();
    void argumentsAreLocalTextFoldersTrimmed();
    void extractionDir_data();
    void extractionDir();
    void packDestination_data();
    void packDestination();
    void packDestinationDefaultsToHomeFolder();
};

void CommandLineTest::grammar_data() {
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<CommandForm>("form");
    using F = CommandForm;
    using A = QList<QByteArray>;
    QTest::newRow("no argument") << A{} << F::Graphical;
    QTest::newRow("package") << A{"/x/a.cfr"} << F::DoubleClick;
    QTest::newRow("upper-case package") << A{"A.CFR"} << F::DoubleClick;
    QTest::newRow("mixed-case zip") << A{"photos.Zip"} << F::DoubleClick;
    QTest::newRow("7z alone") << A{"a.7z"} << F::Ignored;
    QTest::newRow("suffix only in the middle") << A{"a.cfr.txt"} << F::Ignored;
    QTest::newRow("flag alone") << A{"-p"} << F::Ignored;
    QTest::newRow("two arguments") << A{"-p", "a.txt"} << F::Graphical;
    QTest::newRow("two files") << A{"a.cfr", "b.cfr"} << F::Graphical;
    QTest::newRow("-p") << A{"-p", "d", "a"} << F::PackPackage;
    QTest::newRow("-p several") << A{"-p", "d", "a", "b", "c"} << F::PackPackage;
    QTest::newRow("-z") << A{"-z", "d", "a"} << F::PackZip;
    QTest::newRow("-x") << A{"-x", "d", "a.zip"} << F::ExtractOne;
    QTest::newRow("-x extra") << A{"-x", "d", "a.zip", "b.zip"} << F::ExtractOne;
    QTest::newRow("-xc") << A{"-xc", "d", "a.zip"} << F::ExtractHere;
    QTest::newRow("-xs") << A{"-xs", "d", "a.zip", "b.7z"} << F::ExtractSeparately;
    QTest::newRow("-pk complete") << A{"-pk", ".zip", "1", "d", "a"} << F::PackAs;
    QTest::newRow("-pk several") << A{"-pk", ".tar.gz", "0", "d", "a", "b"} << F::PackAs;
    QTest::newRow("-pk no file") << A{"-pk", ".zip", "1", "d"} << F::Ignored;
    QTest::newRow("-pk no folder") << A{"-pk", ".zip", "1"} << F::Ignored;
    QTest::newRow("upper-case flag") << A{"XC", "d", "a"} << F::Ignored;
    QTest::newRow("upper-case dashed flag") << A{"-XC", "d", "a"} << F::Ignored;
    QTest::newRow("-P") << A{"-P", "d", "a"} << F::Ignored;
    QTest::newRow("flag with a blank") << A{"-p ", "d", "a"} << F::Ignored;
    QTest::newRow("double dash") << A{"--p", "d", "a"} << F::Ignored;
    QTest::newRow("file first") << A{"a.cfr", "d", "a"} << F::Ignored;
}

void CommandLineTest::grammar() {
    QFETCH(QList<QByteArray>, args);
    QFETCH(CommandForm, form);
    const Argv argv(args);
    QCOMPARE(commandForm(argv.argc(), argv.argv()), form);
}

void CommandLineTest::argumentsAreLocalTextFoldersTrimmed() {
    QTextCodec* saved = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    const QString file = fileArgument(" \xe9t\xe9.zip ");
    const QString folder = folderArgument(" \tcaf\xe9 \n");
    QTextCodec::setCodecForLocale(saved);
    QCOMPARE(file, QString::fromUtf8(" été.zip "));
    QCOMPARE(folder, QString::fromUtf8("café"));
}

void CommandLineTest::extractionDir_data() {
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("folder");
    QTest::newRow("free") << "photos.zip" << QStringList{} << "photos";
    QTest::newRow("two taken") << "photos.zip" << QStringList{"photos/", "photos (1)/"}
                               << "photos (2)";
    QTest::newRow("name up to the last dot") << "photos.tar.gz" << QStringList{} << "photos.tar";
    QTest::newRow("suffix only") << ".zip" << QStringList{} << "extracted";
    QTest::newRow("archive path elsewhere")
        << "/somewhere/else/Report 2024.CFR" << QStringList{} << "Report 2024";
}

void CommandLineTest::extractionDir() {
    QFETCH(QString, archive);
    QFETCH(QStringList, existing);
    QFETCH(QString, folder);
    QTemporaryDir root;
    makeEntries(root.path(), existing);
    QCOMPARE(uniqueExtractionDir(root.path(), archive), root.path() + '/' + folder);
    QVERIFY(!QFileInfo::exists(root.path() + '/' + folder));
}

void CommandLineTest::packDestination_data() {
    QTest::addColumn<QString>("folder"); // relative to the temporary folder
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("destination");
    const QString report = "report";
    QTest::newRow("free") << "" << report << ".tar.gz" << QStringList{} << "report.tar.gz";
    QTest::newRow("counter before the suffix")
        << "" << report << ".tar.gz" << QStringList{"report.tar.gz"} << "report (1).tar.gz";
    QTest::newRow("folder's own name")
        << "docs" << QString() << ".zip" << QStringList{"docs/"} << "docs/docs.zip";
    QTest::newRow("trailing slash")
        << "docs/" << QString() << ".7z" << QStringList{"docs/"} << "docs/docs.7z";
    QTest::newRow("unknown suffix as written")
        << "" << report << ".weird" << QStringList{} << "report.weird";
}

void CommandLineTest::packDestination() {
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, suffix);
    QFETCH(QStringList, existing);
    QFETCH(QString, destination);
    QTemporaryDir root;
    makeEntries(root.path(), existing);
    QCOMPARE(uniquePackDestination(root.path() + '/' + folder, name, suffix),
             root.path() + '/' + destination);
}

void CommandLineTest::packDestinationDefaultsToHomeFolder() {
    testing::TemporaryHome home;
    QCOMPARE(uniquePackDestination(QString(), "x", ".zip"), QDir::homePath() + "/x.zip");
    // The root folder has no name of its own.
    QString expected = "/archive.zip";
    for (int k = 1; QFile::exists(expected); ++k)
        expected = QStringLiteral("/archive (%1).zip").arg(k);
    QCOMPARE(uniquePackDestination("/", QString(), ".zip"), expected);
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
