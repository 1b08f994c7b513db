#include "zip_test_support.h"

#include "test_support.h"

#include <QDir>
#include <QtTest>

#include <zip.h>

namespace ziptest {

Scratch::Scratch() : savedTmpDir_(qgetenv("TMPDIR")) {
    QDir().mkpath(tmp());
    qputenv("TMPDIR", tmp().toUtf8());
    cfr::setTempDir(nullptr);
}

Scratch::~Scratch() {
    cfr::setTempDir(nullptr);
    if (savedTmpDir_.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmpDir_);
}

QString Scratch::path(const QString& relative) const {
    return relative.isEmpty() ? dir_.path() : dir_.path() + '/' + relative;
}

QStringList Scratch::leftovers() const {
    return QDir(tmp()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                 QDir::System);
}

bool writeCraftedZip(const QString& path, const std::vector<CraftedEntry>& entries,
                     const QString& password) {
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    if (!password.isEmpty())
        zip_set_default_password(archive, password.toUtf8().constData());
    bool ok = true;
    for (const CraftedEntry& entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        if (entry.directory) {
            ok = ok && zip_dir_add(archive, name.constData(), ZIP_FL_ENC_UTF_8) >= 0;
            continue;
        }
        // libzip copies nothing here: the bytes must live until the close.
        zip_source_t* source =
            zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            ok = false;
            continue;
        }
        if (entry.encrypted)
            ok = ok && zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256,
                                               nullptr) == 0;
    }
    if (!ok || zip_close(archive) != 0) {
        zip_discard(archive);
        return false;
    }
    return true;
}

void makeSampleTree(const QString& root) {
    testing::writeFile(root + "/a.txt", "alpha\n");
    testing::writeFile(root + "/docs/x.txt", QByteArray("x-ray\n").repeated(1000));
    QDir().mkpath(root + "/docs/sub");
}

std::vector<std::string> utf8Paths(const QStringList& paths) {
    std::vector<std::string> out;
    for (const QString& p : paths)
        out.push_back(p.toStdString());
    return out;
}

QStringList unzipNames(const QString& archive) {
    const testing::ToolRun run = testing::runTool("unzip", {"-Z1", archive});
    if (run.exitCode != 0)
        return {QStringLiteral("unzip failed: ") + QString::fromUtf8(run.out)};
    QStringList names = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    names.sort();
    return names;
}

} // namespace ziptest
