// The pack list: rows, roles, sizes and removals over real files.
#include "test_support.h"

#include "services/file_model.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QVariant roleOf(const FileModel& model, int row, const QByteArray& name) {
    return model.data(model.index(row), model.roleNames().key(name));
}

} // namespace

class FileModelTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void describesAFolder();
    void ignoresWhatCannotBeAdded_data();
    void ignoresWhatCannotBeAdded();
    void removesSeveralRowsHighestFirst();

private:
    QString make(const QString& relative, qint64 size);
    std::unique_ptr<QTemporaryDir> dir;
};

void FileModelTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

QString FileModelTest::make(const QString& relative, qint64 size) {
    const QString path = dir->filePath(relative);
    if (!testing::writeFile(path, QByteArray(int(size), 'a')))
        return QString();
    return path;
}

void FileModelTest::describesAFolder() {
    QVERIFY(QDir().mkpath(dir->filePath("photos/2024")));
    FileModel model;
    model.addDirectory(dir->filePath("photos/2024") + "//\\/");
    QCOMPARE(model.count(), 1);
    QCOMPARE(roleOf(model, 0, "fileName").toString(), QString("2024"));
    QCOMPARE(roleOf(model, 0, "filePath").toString(), dir->filePath("photos"));
    QCOMPARE(roleOf(model, 0, "fileSize").toString(), QString());
    QCOMPARE(roleOf(model, 0, "fileKind").toString(), QString("Folder"));
    QCOMPARE(roleOf(model, 0, "isDirectory").toBool(), true);
}

void FileModelTest::ignoresWhatCannotBeAdded_data() {
    QTest::addColumn<bool>("asFolder");
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing file") << false << "missing.txt";
    QTest::newRow("file as folder") << true << "file.txt";
    QTest::newRow("root strips to nothing") << true << "/";
}

void FileModelTest::ignoresWhatCannotBeAdded() {
    QFETCH(bool, asFolder);
    QFETCH(QString, relative);
    QVERIFY(!make("file.txt", 4).isEmpty());
    const QString path = relative == "/" ? relative : dir->filePath(relative);
    FileModel model;
    QSignalSpy counted(&model, &FileModel::countChanged);
    if (asFolder)
        model.addDirectory(path);
    else
        model.addFile(path);
    QCOMPARE(model.count(), 0);
    QCOMPARE(counted.count(), 0);
}

void FileModelTest::removesSeveralRowsHighestFirst() {
    FileModel model;
    for (const QString name : {"a", "b", "c", "d", "e"})
        model.addFile(make(name, 1));
    QCOMPARE(model.count(), 5);
    QSignalSpy removed(&model, &FileModel::rowsRemoved);
    QSignalSpy counted(&model, &FileModel::countChanged);

    model.removeRows({0, 2, 1});

    QCOMPARE(model.count(), 2);
    QCOMPARE(roleOf(model, 0, "fileName").toString(), QString("d"));
    QCOMPARE(model.getAllFileInfos().at(0).fileName(), QString("d"));
    QCOMPARE(removed.count(), 3);
    QCOMPARE(removed.at(0).at(1).toInt(), 2);
    QCOMPARE(removed.at(1).at(1).toInt(), 1);
    QCOMPARE(removed.at(2).at(1).toInt(), 0);
    QCOMPARE(counted.count(), 3);
}

QTEST_GUILESS_MAIN(FileModelTest)
#include "tst_file_model.moc"
