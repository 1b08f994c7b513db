// 7z through the real 7-Zip plugin: what we write is checked by the 7z tool, and what the
// 7z tool writes is extracted by us, byte for byte.
#include "cfr.h"
#include "p7/p7_loader.h"
#include "p7/p7_ops.h"
#include "p7/p7_update_callback.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kPassword = QStringLiteral("pässwörd €");

struct Job {
    std::vector<double> fractions;
    QStringList removeOnFirstReport;
    int cancelAfterReports = -1;
};

void onProgress(void* context, double fraction) {
    auto* job = static_cast<Job*>(context);
    job->fractions.push_back(fraction);
    for (const auto& path : job->removeOnFirstReport)
        QFile::remove(path);
    job->removeOnFirstReport.clear();
}

int onCancel(void* context) {
    auto* job = static_cast<Job*>(context);
    return job->cancelAfterReports >= 0 && int(job->fractions.size()) >= job->cancelAfterReports;
}

int pack(const QStringList& inputs, const QString& dest, const QString& password,
         Job* job = nullptr) {
    std::vector<QByteArray> encoded;
    std::vector<const char*> pointers;
    for (const auto& input : inputs)
        encoded.push_back(QFile::encodeName(input));
    for (const auto& bytes : encoded)
        pointers.push_back(bytes.constData());
    return cfr::pack(pointers.data(), int(pointers.size()), QFile::encodeName(dest).constData(),
                     password.toUtf8().constData(), job ? onProgress : nullptr, job,
                     job ? onCancel : nullptr);
}

int extract(const QString& archive, const QString& dest, const QString& password,
            Job* job = nullptr) {
    return cfr::extract(QFile::encodeName(archive).constData(), QFile::encodeName(dest).constData(),
                        password.toUtf8().constData(), job ? onProgress : nullptr, job,
                        job ? onCancel : nullptr);
}

testing::ToolRun sevenZip(const QStringList& args, const QString& workDir = QString()) {
    return testing::runTool("7z", args, workDir);
}

// A folder "docs" and a file "single.txt" in root, with what archives hold that is easy to
// get wrong: empty files and folders, names beyond ASCII, data that does not compress.
void makeTree(const QString& root) {
    QVERIFY(testing::writeFile(root + "/single.txt", "single"));
    QVERIFY(testing::writeFile(root + "/docs/a.txt", "alpha"));
    QVERIFY(testing::writeFile(root + "/docs/empty.txt", ""));
    QVERIFY(QDir().mkpath(root + "/docs/empty folder"));
    QVERIFY(testing::writeFile(root + "/docs/été/中文 名.txt", "unicode ✓"));
    QVERIFY(testing::writeFile(root + "/docs/sub/deep/noise.bin", testing::noiseBytes(300000, 7)));
    QVERIFY(testing::writeFile(root + "/docs/sub/pattern.txt",
                               QByteArray("the same line again\n").repeated(10000)));
}

// Same names, and every file byte for byte.
void compareTrees(const QString& expected, const QString& actual) {
    const QStringList names = testing::treeListing(expected);
    QCOMPARE(testing::treeListing(actual), names);
    for (const auto& name : names)
        if (!name.endsWith('/'))
            QVERIFY2(testing::readFile(expected + '/' + name) ==
                         testing::readFile(actual + '/' + name),
                     qPrintable(name));
}

// Entry names as the 7z tool lists them, without a password.
QStringList listedNames(const QString& archive) {
    const auto run = sevenZip({"l", "-slt", "-ba", archive});
    QStringList names;
    for (const auto& line : QString::fromUtf8(run.out).split('\n'))
        if (line.startsWith("Path = "))
            names << line.mid(7);
    names.sort();
    return names;
}

} // namespace

class TestP7Plugin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void packedArchivesAreReadBy7z();
    void extractsWhat7zWrites_data();
    void extractsWhat7zWrites();
    void badPasswords_data();
    void badPasswords();
    void notA7zArchive_data();
    void notA7zArchive();
    void unwritableTargetIsAFailureNotAPassword();
    void hostileNamesAreSkipped();
    void namingOfInputs();
    void archiveIsNotPackedIntoItself();
    void emptyPasswordIsRefused();
    void vanishingSourceLeavesNothing();
    void missingSourceFails_data();
    void missingSourceFails();
    void cancelledJobs();

private:
    QTemporaryDir dir_;
    QString source_;
};

void TestP7Plugin::initTestCase() {
    qputenv("LC_ALL", "C.UTF-8"); // the 7z tool reads and prints names in this locale
    qunsetenv("CFR_P7ZIP_LIB");
    if (!cfr::p7Available())
        QSKIP("the 7-Zip plugin is not installed");
    QVERIFY(dir_.isValid());
    source_ = dir_.filePath("source");
    makeTree(source_);
}

void TestP7Plugin::packedArchivesAreReadBy7z() {
    QTemporaryDir work;
    const QString archive = work.filePath("packed.7z");
    Job job;
    QCOMPARE(pack({source_ + "/docs", source_ + "/single.txt"}, archive, kPassword, &job), 0);
    QVERIFY(!job.fractions.empty());
    QCOMPARE(job.fractions.back(), 1.0);

    QCOMPARE(sevenZip({"t", "-p" + kPassword, archive}).exitCode, 0);
    QVERIFY(sevenZip({"t", "-pnot it", archive}).exitCode != 0);
    // Names are readable without the password.
    QCOMPARE(listedNames(archive),
             (QStringList{"docs", "docs/a.txt", "docs/empty folder", "docs/empty.txt", "docs/sub",
                          "docs/sub/deep", "docs/sub/deep/noise.bin", "docs/sub/pattern.txt",
                          "docs/été", "docs/été/中文 名.txt", "single.txt"}));

    const QString out = work.filePath("out");
    QCOMPARE(sevenZip({"x", "-p" + kPassword, "-o" + out, archive}).exitCode, 0);
    compareTrees(source_, out);
}

void TestP7Plugin::extractsWhat7zWrites_data() {
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("password");
    QTest::newRow("solid") << QStringList{"-ms=on"} << QString();
    QTest::newRow("solid, encrypted") << QStringList{"-ms=on"} << kPassword;
    QTest::newRow("not solid, encrypted") << QStringList{"-ms=off"} << kPassword;
    QTest::newRow("encrypted names") << QStringList{"-mhe=on"} << kPassword;
    QTest::newRow("stored") << QStringList{"-mx=0"} << QString();
}

void TestP7Plugin::extractsWhat7zWrites() {
    QFETCH(QStringList, switches);
    QFETCH(QString, password);
    QTemporaryDir work;
    const QString archive = work.filePath("made by 7z.7z");
    QStringList args{"a", archive, "docs", "single.txt"};
    if (!password.isEmpty())
        args << "-p" + password;
    QCOMPARE(sevenZip(args + switches, source_).exitCode, 0);

    Job job;
    QCOMPARE(extract(archive, work.filePath("out"), password, &job), 0);
    QCOMPARE(job.fractions.back(), 1.0);
    compareTrees(source_, work.filePath("out"));
}

void TestP7Plugin::badPasswords_data() {
    QTest::addColumn<bool>("encryptedNames");
    QTest::addColumn<QString>("given");
    QTest::addColumn<int>("expected");
    QTest::newRow("content encrypted, wrong") << false << "wrong" << int(cfr::BadPassword);
    QTest::newRow("content encrypted, none") << false << "" << int(cfr::BadPassword);
    QTest::newRow("names encrypted, wrong") << true << "wrong" << int(cfr::OpenFailed);
    QTest::newRow("names encrypted, none") << true << "" << int(cfr::OpenFailed);
}

void TestP7Plugin::badPasswords() {
    QFETCH(bool, encryptedNames);
    QFETCH(QString, given);
    QFETCH(int, expected);
    QTemporaryDir work;
    const QString archive = work.filePath("locked.7z");
    QCOMPARE(
        sevenZip({"a", archive, "docs", "-p" + kPassword, encryptedNames ? "-mhe=on" : "-mhe=off"},
                 source_)
            .exitCode,
        0);
    QCOMPARE(extract(archive, work.filePath("out"), given), expected);
}

void TestP7Plugin::notA7zArchive_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    QTemporaryDir work;
    const QString archive = work.filePath("good.7z");
    sevenZip({"a", archive, "docs", "-p" + kPassword}, source_);
    const QByteArray good = testing::readFile(archive);
    QVERIFY(good.size() > 1000);
    QTest::newRow("text") << QByteArray("this is not an archive\n") << int(cfr::OpenFailed);
    QTest::newRow("empty") << QByteArray() << int(cfr::OpenFailed);
    QTest::newRow("noise") << testing::noiseBytes(5000, 9) << int(cfr::OpenFailed);
    QTest::newRow("signature header only") << good.left(32) << int(cfr::OpenFailed);
    QTest::newRow("cut in half") << good.left(good.size() / 2) << int(cfr::OpenFailed);
    QTest::newRow("last byte missing") << good.left(good.size() - 1) << int(cfr::OpenFailed);
}

void TestP7Plugin::notA7zArchive() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QTemporaryDir work;
    const QString archive = work.filePath("broken.7z");
    QVERIFY(testing::writeFile(archive, bytes));
    QCOMPARE(extract(archive, work.filePath("out"), kPassword), expected);
}

// A file that cannot be created (a non-empty folder stands in its way) is the disk's fault:
// telling the user the password was wrong would send them looking in the wrong place.
void TestP7Plugin::unwritableTargetIsAFailureNotAPassword() {
    QTemporaryDir work;
    const QString archive = work.filePath("locked.7z");
    QCOMPARE(sevenZip({"a", archive, "single.txt", "-p" + kPassword}, source_).exitCode, 0);
    QVERIFY(testing::writeFile(work.filePath("out/single.txt/blocker"), "in the way"));
    QCOMPARE(extract(archive, work.filePath("out"), kPassword), int(cfr::Failed));
    QCOMPARE(extract(archive, work.filePath("fresh"), kPassword), int(cfr::Ok));
}

// Entries whose names climb out of the destination or are absolute are never written; the
// rest of the archive still is.
void TestP7Plugin::hostileNamesAreSkipped() {
    const cfr::P7Lib& lib = cfr::p7Lib();
    if (lib.layout != p7::Layout::Plain)
        QSKIP("written for the plugin this platform ships");
    QTemporaryDir work;
    const std::string data = QFile::encodeName(source_ + "/single.txt").toStdString();
    const std::vector<cfr::UpdateItem> items{
        {L"../outside.txt", data, false, 6, 0},
        {L"a/../../climb.txt", data, false, 6, 0},
        {work.filePath("absolute.txt").toStdWString(), data, false, 6, 0},
        {L"a/./b/../c", data, false, 6, 0},
        {L"good.txt", data, false, 6, 0}};
    const QString archive = work.filePath("hostile.7z");
    {
        using P = p7::Layout;
        p7::Ref<p7::IOutArchive<P::Plain>> handler;
        QCOMPARE(lib.createObject(&p7::CLSID_Format7z, &p7::IID_IOutArchive,
                                  reinterpret_cast<void**>(handler.receive())),
                 p7::S_OK);
        std::FILE* file = std::fopen(QFile::encodeName(archive).constData(), "wb+");
        QVERIFY(file);
        const std::wstring password = L"pw";
        const cfr::ProgressSink sink;
        p7::Ref<cfr::OutStream<P::Plain>> stream(new cfr::OutStream<P::Plain>(file));
        p7::Ref<cfr::UpdateCallback<P::Plain>> callback(
            new cfr::UpdateCallback<P::Plain>(items, password, &sink));
        const auto result = handler->UpdateItems(stream.get(), 5, callback.get());
        stream.reset();
        std::fclose(file);
        QCOMPARE(result, p7::S_OK);
    }
    QVERIFY2(listedNames(archive).contains("../outside.txt"), "the names were stored as given");

    QCOMPARE(extract(archive, work.filePath("out/inner"), "pw"), 0);
    QCOMPARE(testing::treeListing(work.path()),
             (QStringList{"hostile.7z", "out/", "out/inner/", "out/inner/a/", "out/inner/a/c",
                          "out/inner/good.txt"}));
}

// Inputs are named by their last non-empty component, and the same name twice is told apart.
void TestP7Plugin::namingOfInputs() {
    QTemporaryDir work;
    QVERIFY(testing::writeFile(work.filePath("one/x.txt"), "1"));
    QVERIFY(testing::writeFile(work.filePath("two/x.txt"), "2"));
    QVERIFY(testing::writeFile(work.filePath("folder/f.txt"), "f"));
    const QString archive = work.filePath("named.7z");
    QCOMPARE(pack({work.filePath("folder") + "/", work.filePath("one/x.txt"),
                   work.filePath("two/x.txt")},
                  archive, kPassword),
             0);
    QCOMPARE(listedNames(archive), (QStringList{"folder", "folder/f.txt", "x (1).txt", "x.txt"}));
}

// Packing a folder again into the archive it already holds replaces it, never stores it.
void TestP7Plugin::archiveIsNotPackedIntoItself() {
    QTemporaryDir work;
    QVERIFY(testing::writeFile(work.filePath("folder/f.txt"), "f"));
    const QString archive = work.filePath("folder/folder.7z");
    QCOMPARE(pack({work.filePath("folder")}, archive, kPassword), 0);
    QCOMPARE(pack({work.filePath("folder")}, archive, kPassword), 0);
    QCOMPARE(listedNames(archive), (QStringList{"folder", "folder/f.txt"}));
}

void TestP7Plugin::emptyPasswordIsRefused() {
    QTemporaryDir work;
    const QString dest = work.filePath("kept.7z");
    QVERIFY(testing::writeFile(dest, "already here"));
    const std::vector<std::string> inputs{QFile::encodeName(source_ + "/docs").toStdString()};
    QCOMPARE(cfr::p7Pack(inputs, QFile::encodeName(dest).toStdString(), "", nullptr),
             int(cfr::InvalidArgument));
    QCOMPARE(testing::readFile(dest), QByteArray("already here"));
}

void TestP7Plugin::vanishingSourceLeavesNothing() {
    QTemporaryDir work;
    QStringList files;
    for (int i = 0; i < 3; ++i) {
        files << work.filePath(QStringLiteral("in/part%1.bin").arg(i));
        QVERIFY(testing::writeFile(files.last(), testing::noiseBytes(2000000, i)));
    }
    const QString archive = work.filePath("gone.7z");
    Job job;
    job.removeOnFirstReport = files;
    QCOMPARE(pack({work.filePath("in")}, archive, kPassword, &job), int(cfr::Failed));
    QVERIFY(!QFile::exists(archive));
}

void TestP7Plugin::missingSourceFails_data() {
    QTest::addColumn<QString>("missing");
    QTest::newRow("missing input") << "gone.txt";
    QTest::newRow("dangling link at the top") << "dangling";
    QTest::newRow("dangling link inside a folder") << "folder";
}

void TestP7Plugin::missingSourceFails() {
    QFETCH(QString, missing);
    QTemporaryDir work;
    QVERIFY(testing::writeFile(work.filePath("here.txt"), "here"));
    QVERIFY(testing::writeFile(work.filePath("folder/f.txt"), "f"));
    QVERIFY(QFile::link(work.filePath("nowhere"), work.filePath("dangling")));
    QVERIFY(QFile::link(work.filePath("nowhere"), work.filePath("folder/dangling")));
    const QString archive = work.filePath("partial.7z");
    QCOMPARE(pack({work.filePath("here.txt"), work.filePath(missing)}, archive, kPassword),
             int(cfr::Failed));
    QVERIFY(!QFile::exists(archive));
}

void TestP7Plugin::cancelledJobs() {
    QTemporaryDir work;
    const QString archive = work.filePath("stopped.7z");
    Job packJob;
    packJob.cancelAfterReports = 1;
    QCOMPARE(pack({source_ + "/docs"}, archive, kPassword, &packJob), int(cfr::Cancelled));
    QVERIFY(!QFile::exists(archive));

    QCOMPARE(pack({source_ + "/docs"}, archive, kPassword), 0);
    Job extractJob;
    extractJob.cancelAfterReports = 1;
    QCOMPARE(extract(archive, work.filePath("out"), kPassword, &extractJob), int(cfr::Cancelled));
}

QTEST_GUILESS_MAIN(TestP7Plugin)
#include "tst_p7_plugin.moc"
