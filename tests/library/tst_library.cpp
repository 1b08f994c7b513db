// The vault's index against a real file system under a private home folder; the names the
// library picks, its size texts, and the digests of archives and extraction folders.
#include "library/file_digest.h"
#include "library/folder_digest.h"
#include "library/free_names.h"
#include "library/library_index.h"
#include "library/size_text.h"
#include "test_support.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

namespace {

QString documents() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString libraryFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/library.json";
}

QJsonArray savedLibrary() {
    return QJsonDocument::fromJson(testing::readFile(libraryFile())).array();
}

// An archive file; a relative path is in the library's own folder.
QString makeArchive(const QString& path, const QByteArray& bytes = "a") {
    const QString full = QDir::isRelativePath(path) ? documents() + "/Coffret/" + path : path;
    return testing::writeFile(full, bytes) ? full : QString();
}

QVariant roleOf(const LibraryIndex& index, int row, int role) {
    return index.data(index.index(row), role);
}

QVector<int> changedRoles(const QSignalSpy& spy) {
    return spy.isEmpty() ? QVector<int>() : spy.last().at(2).value<QVector<int>>();
}

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TemporaryHome> home_;

private slots:
    void init() {
        qRegisterMetaType<QVector<int>>();
        home_ = std::make_unique<testing::TemporaryHome>();
        QVERIFY(home_->isValid());
        QVERIFY(documents().startsWith(home_->path()));
    }

    void cleanup() { home_.reset(); }

    void archiveNamesAreSafeAndGainStampThenNumber() {
        QCOMPARE(safeBaseName("../../.bashrc", "fallback"), QString(".._.._.bashrc"));
        const QString folder = home_->path();
        const QDateTime now(QDate(2025, 1, 1), QTime(12, 0, 0));

        QCOMPARE(freeArchivePath(folder, "report", ".cfr", now), folder + "/report.cfr");
        QVERIFY(testing::writeFile(folder + "/report.cfr", "1"));
        QCOMPARE(freeArchivePath(folder, "report", ".cfr", now),
                 folder + "/report_20250101_120000.cfr");
        QVERIFY(testing::writeFile(folder + "/report_20250101_120000.cfr", "2"));
        QCOMPARE(freeArchivePath(folder, "report", ".cfr", now),
                 folder + "/report_20250101_120000_1.cfr");
        // A dangling link still takes its name.
        QVERIFY(QFile::link(folder + "/nowhere", folder + "/gone.zip"));
        QCOMPARE(freeArchivePath(folder, "gone", ".zip", now),
                 folder + "/gone_20250101_120000.zip");
        // An extension cannot lead out of the folder either.
        QCOMPARE(freeArchivePath(folder, "x", "/../y", now), folder + "/x_.._y");

        // The numbering rule behind every new folder: the counter goes before the suffix, and
        // names given to earlier jobs of a batch count as taken.
        QCOMPARE(freePath(folder + "/report", ".cfr"), folder + "/report (1).cfr");
        const auto inBatch = [&](const QString& path) { return path == folder + "/report (1)"; };
        QVERIFY(QDir().mkpath(folder + "/report"));
        QCOMPARE(freePath(folder + "/report", QString(), inBatch), folder + "/report (2)");
    }

    // No unit above TB in the library, nor above GB in the pack list, which rounds up to a whole.
    void sizeTexts() {
        const qint64 tera = qint64(1) << 40;
        QCOMPARE(sizeText(2048 * tera, librarySizes), QString("2048.0 TB"));
        QCOMPARE(sizeText(5 * tera, packListSizes), QString("5120 GB"));
        QCOMPARE(sizeText(1100, packListSizes), QString("1.07 KB"));
        QCOMPARE(sizeText((1 << 20) - 1, packListSizes), QString("1024 KB"));
    }

    void fileDigestMatchesSha256sumAndSkipsPipes() {
        QTemporaryDir dir;
        const QString path = dir.filePath("archive.bin");
        // Crosses the read block size, with a ragged end.
        QVERIFY(testing::writeFile(path, testing::noiseBytes(3 * 1024 * 1024 + 17, 7)));
        const testing::ToolRun run = testing::runTool("sha256sum", {path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(fileDigest(path), QString::fromLatin1(run.out.left(64)));
        // Opening a pipe without a writer would wait forever.
        const QByteArray fifo = QFile::encodeName(dir.filePath("pipe"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        QCOMPARE(fileDigest(dir.filePath("pipe")), QString());
    }

    void folderDigestFollowsItsDefinition() {
        QTemporaryDir dir;
        const QString root = dir.filePath("x");
        QVERIFY(testing::writeFile(root + "/b", "2"));
        QVERIFY(testing::writeFile(root + "/a/x", "1"));
        QVERIFY(testing::writeFile(root + "/B", "3"));
        QVERIFY(testing::writeFile(root + QString::fromUtf8("/\xc3\xa9"), "4"));
        // Code-unit order: "B" < "a/x" < "b" < "é"; names in UTF-8, each closed by a zero byte.
        const QByteArray input("B\0003a/x\0001b\0002\xc3\xa9\0004", 15);
        QCOMPARE(folderDigest(root),
                 QString::fromLatin1(
                     QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex()));

        QVERIFY(QDir().mkpath(dir.filePath("empty")));
        QCOMPARE(folderDigest(dir.filePath("empty")),
                 QString("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
        QCOMPARE(folderDigest(root + "/b"), QString());
    }

    // What is saved: compact, for the owner only, relative to Documents; a file that cannot be
    // read is kept aside, once, before the first save replaces it.
    void savedFileIsCompactPrivateAndKeepsTheUnreadableAside() {
        LibraryIndex index;
        const QString inside = makeArchive("a.cfr", "abc");
        const QString outside = makeArchive(home_->path() + "/DocumentsOld/b.zip", "def");
        const QString id = index.addArchive(inside, true, "s3cret");
        index.addArchive(outside);
        const QByteArray garbage = "\x89PNG not json at all";
        QVERIFY(testing::writeFile(libraryFile(), garbage));
        // Readable by everybody, as older versions left it: it must not stay so.
        QVERIFY(QFile::setPermissions(libraryFile(),
                                      QFile::permissions(libraryFile()) | QFileDevice::ReadOther));
        QVERIFY(testing::writeFile(libraryFile() + ".bad", "an older damaged index"));

        index.load();
        QCOMPARE(index.count(), 2);
        QCOMPARE(testing::readFile(libraryFile()), garbage);

        index.setExtraction(id, documents() + "/Coffret/Extractions/a");
        QCOMPARE(testing::readFile(libraryFile() + ".bad"), garbage);
        const auto ownerGroupOther = QFileDevice::Permissions(0x7077);
        for (const QString& file : {libraryFile(), libraryFile() + ".bad"})
            QCOMPARE(QFile::permissions(file) & ownerGroupOther,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QByteArray bytes = testing::readFile(libraryFile());
        QVERIFY(!bytes.contains('\n'));
        const QJsonArray saved = QJsonDocument::fromJson(bytes).array();
        QCOMPARE(saved.size(), 2);
        const QJsonObject a = saved.at(0).toObject();
        QCOMPARE(a["path"].toString(), QString("Coffret/a.cfr"));
        QCOMPARE(a["extractionPath"].toString(), QString("Coffret/Extractions/a"));
        QCOMPARE(a["password"].toString(), QString("s3cret"));
        // Only a slash after the Documents folder makes a path relative.
        QCOMPARE(saved.at(1).toObject()["path"].toString(), outside);

        // Kept once: later saves leave it alone.
        index.rename(id, "again");
        QCOMPARE(testing::readFile(libraryFile() + ".bad"), garbage);
        QCOMPARE(savedLibrary().at(0).toObject()["name"].toString(), QString("again"));

        // A folder where the file belongs cannot be replaced, and the caller hears of it.
        QVERIFY(QFile::remove(libraryFile()) && QDir().mkpath(libraryFile()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot save "));
        QVERIFY(!index.save());
    }

    void loadDropsForeignElementsAndRepairs() {
        const QString d = documents();
        makeArchive("kept.cfr", "kept");
        makeArchive("nohash.cfr", "abc");
        makeArchive("other.cfr", "other");
        QVERIFY(QDir().mkpath(d + "/Coffret/Extractions/other"));

        // As older versions and other machines wrote it: an extraction record, a string, an
        // item without a digest, and one not marked decrypted whose extraction is there and
        // whose path names another home's Documents folder.
        const char* stored = R"([
            {"id": "k1", "path": "Coffret/kept.cfr", "sizeBytes": 4, "added": "yesterday"},
            {"id": "e1", "type": 1, "path": "Coffret/kept.cfr", "sizeBytes": 4}, "text",
            {"id": "h1", "path": "Coffret/nohash.cfr", "sizeBytes": 3},
            {"id": "d1", "path": "/elsewhere/home/Documents/Coffret/other.cfr", "sizeBytes": 5,
             "extractionPath": "Coffret/Extractions/other", "hash": "abc"}])";
        QVERIFY(testing::writeFile(libraryFile(), stored));
        LibraryIndex index;
        QSignalSpy counts(&index, &LibraryIndex::countChanged);
        QSignalSpy resets(&index, &QAbstractItemModel::modelReset);
        index.load();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(counts.count(), 1);
        QCOMPARE(index.count(), 3);
        QCOMPARE(roleOf(index, 0, LibraryIndex::ItemIdRole).toString(), QString("k1"));
        QCOMPARE(roleOf(index, 0, LibraryIndex::DateRole).toString(), QString());
        QCOMPARE(roleOf(index, 2, LibraryIndex::PathRole).toString(), d + "/Coffret/other.cfr");
        QCOMPARE(roleOf(index, 2, LibraryIndex::DecryptedRole).toBool(), true);
        QCOMPARE(index.extractionCount(), 1);

        // Repairs are written back at once, and what was dropped is gone from the file.
        const QJsonArray saved = savedLibrary();
        QCOMPARE(saved.size(), 3);
        QCOMPARE(saved.at(1).toObject()["hash"].toString(),
                 QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        QCOMPARE(saved.at(2).toObject()["decrypted"].toBool(), true);
        QCOMPARE(saved.at(2).toObject()["path"].toString(), QString("Coffret/other.cfr"));
    }

    void pathsFollowAMovedDocumentsFolder() {
        LibraryIndex index;
        const QString id = index.addArchive(makeArchive("a.cfr", "abc"));
        index.setExtraction(id, documents() + "/Coffret/Extractions/a");

        // The user moves Documents and tells the desktop where it went.
        const QString moved = home_->path() + "/Papers";
        QVERIFY(QDir().rename(documents(), moved));
        QVERIFY(testing::writeFile(home_->path() + "/.config/user-dirs.dirs",
                                   "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n"));
        QCOMPARE(documents(), moved);

        LibraryIndex reloaded;
        reloaded.load();
        QCOMPARE(roleOf(reloaded, 0, LibraryIndex::PathRole).toString(), moved + "/Coffret/a.cfr");
        QCOMPARE(roleOf(reloaded, 0, LibraryIndex::ExtractionRole).toString(),
                 moved + "/Coffret/Extractions/a");
    }

    void importDetectsDuplicatesByContent() {
        const QString first = makeArchive(home_->path() + "/in/a.cfr", testing::noiseBytes(5000));
        const QString same =
            makeArchive(home_->path() + "/elsewhere/b.cfr", testing::noiseBytes(5000));
        LibraryIndex index;
        QSignalSpy duplicates(&index, &LibraryIndex::duplicateDetected);

        const QString id = index.importArchive(first);
        QCOMPARE(roleOf(index, 0, LibraryIndex::PathRole).toString(),
                 documents() + "/Coffret/a.cfr");
        QVERIFY(QFileInfo::exists(first));

        QCOMPARE(index.importArchive(same), QString());
        QCOMPARE(index.count(), 1);
        QCOMPARE(duplicates.count(), 1);
        QCOMPARE(duplicates.at(0), QVariantList({id, QString("a.cfr")}));
        QVERIFY(!QFileInfo::exists(documents() + "/Coffret/b.cfr"));
    }

    void perItemUpdatesAndExtractionRecords() {
        LibraryIndex index;
        const QString id = index.addArchive(makeArchive("a.cfr"));
        QSignalSpy changes(&index, &QAbstractItemModel::dataChanged);

        index.clearPassword(id);
        index.rename(id, "   ");
        index.rename("no-such-id", "x");
        QCOMPARE(changes.count(), 0);

        index.setPassword(id, "pw");
        QCOMPARE(changedRoles(changes), QVector<int>{LibraryIndex::SavedPasswordRole});
        index.setPassword(id, "");
        QCOMPARE(roleOf(index, 0, LibraryIndex::SavedPasswordRole).toString(), QString("pw"));
        index.clearPassword(id);

        index.setDecrypted(id, true);
        QCOMPARE(changedRoles(changes), QVector<int>{LibraryIndex::DecryptedRole});

        index.rename(id, "  Holiday photos \t");
        QCOMPARE(changedRoles(changes), QVector<int>{LibraryIndex::NameRole});
        QCOMPARE(roleOf(index, 0, LibraryIndex::NameRole).toString(), QString("Holiday photos"));

        // An extraction record, intact while its folder holds what it held.
        const QString folder = index.newExtractionDir("a");
        QVERIFY(testing::writeFile(folder + "/doc.txt", "hello"));
        QSignalSpy counts(&index, &LibraryIndex::countChanged);
        changes.clear();
        index.setExtraction(id, folder);
        const QByteArray digest = folderDigest(folder).toLatin1();
        QCOMPARE(counts.count(), 1);
        QCOMPARE(changes.count(), 1); // views showing the row's extraction follow it
        QCOMPARE(changedRoles(changes), QVector<int>{LibraryIndex::ExtractionRole});
        QCOMPARE(index.extractionCount(), 1);
        QCOMPARE(index.extractionForArchive(id), folder);
        QVERIFY(index.extractionIntact(id));
        QVERIFY(testing::writeFile(folder + "/doc.txt", "hellO"));
        QVERIFY(!index.extractionIntact(id));

        // A record without a digest is intact as long as its folder is there.
        const QByteArray saved = testing::readFile(libraryFile());
        QVERIFY(saved.contains(digest));
        QVERIFY(testing::writeFile(libraryFile(), QByteArray(saved).replace(digest, "")));
        index.load();
        QVERIFY(index.extractionIntact(id));
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(!index.extractionIntact(id));
        QCOMPARE(index.extractionForArchive(id), QString());
        QCOMPARE(index.extractionCount(), 0);
    }

    // Clearing: the short form deletes, the long form may only forget; removing an archive
    // deletes its file only when asked, its extraction never.
    void clearingAndRemoval() {
        LibraryIndex index;
        const QString a = index.addArchive(makeArchive("a.cfr"));
        const QString b = index.importArchive(makeArchive(home_->path() + "/b.cfr", "b"));
        const QString c = index.importArchive(makeArchive(home_->path() + "/c.cfr", "c"));
        const QString folderA = index.newExtractionDir("a");
        const QString folderB = index.newExtractionDir("b");
        const QString outside = home_->path() + "/Projects";
        QVERIFY(testing::writeFile(outside + "/work.txt", "precious"));
        index.setExtraction(a, folderA);
        index.setExtraction(b, folderB);
        index.setExtraction(c, outside);
        index.setDecrypted(a, true);

        QSignalSpy changes(&index, &QAbstractItemModel::dataChanged);
        QSignalSpy counts(&index, &LibraryIndex::countChanged);
        index.clearExtraction(a);
        QVERIFY(!QFileInfo::exists(folderA));
        QCOMPARE(changedRoles(changes), QVector<int>{LibraryIndex::ExtractionRole});
        QCOMPARE(counts.count(), 1);
        QCOMPARE(roleOf(index, 0, LibraryIndex::DecryptedRole).toBool(), true);

        index.clearExtraction(b, false);
        QVERIFY(QFileInfo(folderB).isDir());
        QCOMPARE(index.extractionCount(), 1);

        changes.clear();
        index.setExtraction(b, folderB);
        index.clearExtractions();
        QVERIFY(!QFileInfo::exists(folderB));
        // Only folders inside the library's extraction folder are ever wiped out.
        QCOMPARE(testing::readFile(outside + "/work.txt"), QByteArray("precious"));
        QCOMPARE(index.extractionCount(), 0);
        QCOMPARE(changes.count(), 3); // the one set, then each row cleared

        QVERIFY(QDir().mkpath(folderB));
        index.setExtraction(b, folderB);
        QSignalSpy removals(&index, &QAbstractItemModel::rowsRemoved);
        counts.clear();
        index.remove(a);
        QVERIFY(QFileInfo::exists(documents() + "/Coffret/a.cfr"));
        index.remove(b, true);
        QVERIFY(!QFileInfo::exists(documents() + "/Coffret/b.cfr"));
        QVERIFY(QFileInfo(folderB).isDir());
        QCOMPARE(removals.count(), 2);
        QCOMPARE(counts.count(), 2);
        QCOMPARE(savedLibrary().size(), 1);
    }

    void refreshFollowsTheDisk() {
        LibraryIndex index;
        index.addArchive(makeArchive("gone.cfr"));
        const QString grows = index.addArchive(makeArchive("grows.cfr"));
        index.addArchive(makeArchive("same.cfr"));

        QSignalSpy changes(&index, &QAbstractItemModel::dataChanged);
        QSignalSpy counts(&index, &LibraryIndex::countChanged);
        QVERIFY(QFile::remove(documents() + "/Coffret/gone.cfr"));
        QVERIFY(!makeArchive("grows.cfr", QByteArray(2048, 'x')).isEmpty());
        index.refresh();
        QCOMPARE(index.count(), 2);
        QCOMPARE(index.rowForId(grows), 0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changedRoles(changes),
                 QVector<int>({LibraryIndex::SizeRole, LibraryIndex::SizeBytesRole}));
        QCOMPARE(counts.count(), 1);
        QCOMPARE(savedLibrary().at(0).toObject()["sizeBytes"].toDouble(), 2048.0);
    }
};

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
