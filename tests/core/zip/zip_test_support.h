// Fixtures shared by the zip and package tests: a private temporary root and archives
// crafted with libzip where no tool writes them.
#pragma once

#include "cfr.h"
#include "tar_test_util.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace ziptest {

// A fresh folder per test, with TMPDIR pointing at its "tmp" child so that anything the
// engine leaves behind there can be seen.
class Scratch {
public:
    Scratch();
    ~Scratch();
    bool isValid() const { return dir_.isValid(); }
    QString path(const QString& relative = QString()) const;
    QString tmp() const { return path("tmp"); }
    // Names left in the temporary folder.
    QStringList leftovers() const;

private:
    QTemporaryDir dir_;
    QByteArray savedTmpDir_;
};

using tartest::ProgressLog;

struct CraftedEntry {
    QString name;
    QByteArray data;
    bool encrypted = false; // AES-256 under the archive's password
    bool directory = false;
};
// Writes a zip with libzip exactly as listed (names are taken as they stand).
bool writeCraftedZip(const QString& path, const std::vector<CraftedEntry>& entries,
                     const QString& password = QString());

// a.txt, docs/x.txt and the empty folder docs/sub below root.
void makeSampleTree(const QString& root);

std::vector<std::string> utf8Paths(const QStringList& paths);

// The entry names of a zip as unzip lists them.
QStringList unzipNames(const QString& archive);

} // namespace ziptest
