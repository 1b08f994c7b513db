// What one archive job is asked to do: made by one of the three functions below, so each kind
// of job states exactly the inputs it uses.
#pragma once

#include <QString>
#include <QStringList>

struct ArchiveJob {
    enum Kind : int { Pack, Extract, ExtractBatch };

    static ArchiveJob pack(const QStringList& inputs, const QString& archive,
                           const QString& password) {
        return {Pack, inputs, archive, password, {}, false};
    }
    static ArchiveJob extract(const QString& archive, const QString& folder,
                              const QString& password) {
        return {Extract, {archive}, folder, password, {}, false};
    }
    // passwords holds the password of archive i at index i; a missing one means none. With
    // subfolders, each archive goes into a new folder of its own under baseFolder.
    static ArchiveJob extractBatch(const QStringList& archives, const QStringList& passwords,
                                   const QString& baseFolder, bool subfolders) {
        return {ExtractBatch, archives, baseFolder, QString(), passwords, subfolders};
    }

    Kind kind;
    // Pack: the inputs. Extract: the archive alone. ExtractBatch: the archives.
    QStringList sources;
    // Pack: the archive to create. Extract: the folder. ExtractBatch: the base folder.
    QString dest;
    QString password;
    QStringList passwords;
    bool subfolders;
};
