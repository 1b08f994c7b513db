#pragma once

#include <QDateTime>
#include <QString>

// One archive the library manages. Paths are absolute in memory.
struct LibraryItem {
    QString id;   // random UUID text without braces, never changed
    QString name; // display name
    QString path; // the archive file
    qint64 sizeBytes = 0;
    QDateTime added; // local time
    QString archiveId;
    QString extractionPath; // folder last extracted into; empty when none
    bool imported = false;
    QString password; // kept in clear, which is why library.json is private to its owner
    bool decrypted = false;
    QString hash;           // file digest of path
    QString extractionHash; // folder digest of extractionPath when it was recorded
};
