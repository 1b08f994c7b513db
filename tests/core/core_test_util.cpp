#include "core_test_util.h"

#include "test_support.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <unistd.h>

namespace coretest {

bool writeTar(const QString& path, const std::vector<RawEntry>& entries, const char* filter) {
    std::unique_ptr<archive, int (*)(archive*)> writer(archive_write_new(), archive_write_free);
    archive_write_set_format_pax_restricted(writer.get());
    if (filter && archive_write_add_filter_by_name(writer.get(), filter) != ARCHIVE_OK)
        return false;
    if (archive_write_open_filename(writer.get(), path.toUtf8().constData()) != ARCHIVE_OK)
        return false;
    for (const auto& e : entries) {
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                       archive_entry_free);
        archive_entry_copy_pathname(entry.get(), e.name.constData());
        archive_entry_set_filetype(entry.get(), e.type);
        archive_entry_set_perm(entry.get(), 0644);
        if (e.hardLink)
            archive_entry_copy_hardlink(entry.get(), e.linkName.constData());
        else if (e.type == AE_IFLNK)
            archive_entry_copy_symlink(entry.get(), e.linkName.constData());
        archive_entry_set_size(entry.get(), e.data.size());
        if (archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK)
            return false;
        if (!e.data.isEmpty() && archive_write_data(writer.get(), e.data.constData(),
                                                    size_t(e.data.size())) != e.data.size())
            return false;
    }
    return archive_write_close(writer.get()) == ARCHIVE_OK;
}

QStringList listEntries(const QString& path) {
    std::unique_ptr<archive, int (*)(archive*)> reader(archive_read_new(), archive_read_free);
    archive_read_support_format_all(reader.get());
    archive_read_support_filter_all(reader.get());
    QStringList entries;
    if (archive_read_open_filename(reader.get(), path.toUtf8().constData(), 65536) != ARCHIVE_OK)
        return {"cannot open"};
    archive_entry* entry = nullptr;
    while (archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK) {
        const char* name = archive_entry_pathname_utf8(entry);
        entries << QString("%1 %2 %3")
                       .arg(QString::fromUtf8(name ? name : "?"))
                       .arg(archive_entry_mode(entry), 0, 8)
                       .arg(qlonglong(archive_entry_mtime(entry)));
    }
    return entries;
}

void ProgressLog::record(void* context, double fraction) {
    auto* log = static_cast<ProgressLog*>(context);
    log->fractions.push_back(fraction);
    if (log->onReport)
        log->onReport(fraction);
}

int ProgressLog::cancel(void* context) {
    const auto* log = static_cast<ProgressLog*>(context);
    return (log->cancelAfter >= 0 && int(log->fractions.size()) >= log->cancelAfter) ||
           (log->stopWhen && log->stopWhen());
}

bool ProgressLog::nonDecreasing() const {
    return std::is_sorted(fractions.begin(), fractions.end());
}

QStringList makeSampleTree(const QString& root) {
    const QString docs = root + "/docs";
    testing::writeFile(docs + "/a.txt", QByteArray("plain text\n").repeated(500));
    testing::writeFile(docs + QString::fromUtf8("/ünïcödé 日本語.txt"), "Grüße\n");
    testing::writeFile(docs + "/sub/noise.bin", testing::noiseBytes(300 * 1024, 7));
    ::link(QFile::encodeName(docs + "/sub/noise.bin").constData(),
           QFile::encodeName(docs + "/sub/hard link.bin").constData());
    testing::writeFile(docs + "/sub/zero.txt", QByteArray());
    QDir().mkpath(docs + "/empty");
    QDir().mkpath(docs + QString::fromUtf8("/空のフォルダ"));
    testing::writeFile(root + "/top file.txt", "top\n");
    return {docs, root + "/top file.txt"};
}

QString treeDifference(const QString& expected, const QString& actual) {
    const QStringList want = testing::treeListing(expected);
    const QStringList got = testing::treeListing(actual);
    if (want != got)
        return QString("listing differs:\n want %1\n got  %2").arg(want.join(", "), got.join(", "));
    for (const QString& name : want) {
        const QFileInfo info(expected + '/' + name);
        if (info.isDir())
            continue;
        if (testing::readFile(info.filePath()) != testing::readFile(actual + '/' + name))
            return "content differs: " + name;
    }
    return QString();
}

int packPaths(const QStringList& inputs, const QString& dest, const QString& password,
              ProgressLog* log) {
    std::vector<std::string> utf8;
    for (const QString& input : inputs)
        utf8.push_back(input.toStdString());
    std::vector<const char*> pointers;
    for (const std::string& path : utf8)
        pointers.push_back(path.c_str());
    const QByteArray pw = password.toUtf8();
    return cfr::pack(pointers.data(), int(pointers.size()), dest.toUtf8().constData(),
                     password.isNull() ? nullptr : pw.constData(),
                     log ? ProgressLog::record : nullptr, log, log ? ProgressLog::cancel : nullptr);
}

int extractTo(const QString& archive, const QString& dest, const QString& password,
              ProgressLog* log) {
    const QByteArray pw = password.toUtf8();
    return cfr::extract(archive.toUtf8().constData(), dest.toUtf8().constData(),
                        password.isNull() ? nullptr : pw.constData(),
                        log ? ProgressLog::record : nullptr, log,
                        log ? ProgressLog::cancel : nullptr);
}

QStringList unzipNames(const QString& archive) {
    const testing::ToolRun run = testing::runTool("unzip", {"-Z1", archive});
    if (run.exitCode != 0)
        return {QStringLiteral("unzip failed: ") + QString::fromUtf8(run.out)};
    QStringList names = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    names.sort();
    return names;
}

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

} // namespace coretest
