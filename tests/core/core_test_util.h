// Helpers for the engine tests: archives with chosen entries, progress logs, sample trees, a
// private temporary folder.
#pragma once

#include "progress_sink.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

namespace coretest {

struct RawEntry {
    // AE_IFREG by default; 0040000 for a folder, 0120000 for a symbolic link.
    RawEntry(const QByteArray& name, const QByteArray& data = {}, int type = 0100000,
             const QByteArray& linkName = {}, bool hardLink = false)
        : name(name), data(data), type(type), linkName(linkName), hardLink(hardLink) {}
    QByteArray name, data;
    int type;
    QByteArray linkName; // target of a hard link (or of a symbolic link)
    bool hardLink;
};
inline RawEntry link(const QByteArray& name, const QByteArray& target, bool hard) {
    return RawEntry{name, {}, hard ? 0100000 : 0120000, target, hard};
}

// Writes a pax tar (compressed by the named filter, if any) holding exactly these entries, names as
// given: the way to get hostile names into an archive.
bool writeTar(const QString& path, const std::vector<RawEntry>& entries,
              const char* filter = nullptr);

// "name mode mtime" of every entry, in archive order, as libarchive reads them (mode in
// octal, type bits included).
QStringList listEntries(const QString& archive);
// The entry names of a zip as unzip lists them, sorted.
QStringList unzipNames(const QString& archive);

// Records every progress report (running onReport, if set, on each); asks to cancel once
// cancelAfter reports were seen or stopWhen holds.
struct ProgressLog {
    std::vector<double> fractions;
    int cancelAfter = -1;
    std::function<void(double)> onReport;
    std::function<bool()> stopWhen;
    bool nonDecreasing() const;
    double last() const { return fractions.empty() ? -1.0 : fractions.back(); } // -1: none
    static void record(void* context, double fraction);
    static int cancel(void* context);
};

// A folder tree with text, noise (hard-linked), an empty file, empty folders and Unicode names:
// root/docs/... and root/top file.txt. Returns the two input paths.
QStringList makeSampleTree(const QString& root);

// Empty when both trees hold the same names and the same bytes, else what differs.
QString treeDifference(const QString& expected, const QString& actual);

// cfr::pack and cfr::extract on Qt strings; a null password is passed as null.
int packPaths(const QStringList& inputs, const QString& dest, const QString& password = QString(),
              ProgressLog* log = nullptr);
int extractTo(const QString& archive, const QString& dest, const QString& password = QString(),
              ProgressLog* log = nullptr);

// A fresh folder per test, with TMPDIR pointing at its "tmp" child so that anything the
// engine leaves behind there can be seen.
class Scratch {
public:
    Scratch();
    ~Scratch();
    QString path(const QString& relative = QString()) const;
    QString tmp() const { return path("tmp"); }
    // Names left in the temporary folder.
    QStringList leftovers() const;

private:
    QTemporaryDir dir_;
    QByteArray savedTmpDir_;
};

} // namespace coretest
