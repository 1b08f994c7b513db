#include "library/library_folders.h"

#include <QDir>
#include <QStandardPaths>

QString documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString archiveFolder(const QString& documents) {
    return documents + QStringLiteral("/Coffret");
}

QString extractionFolder(const QString& documents) {
    return documents + QStringLiteral("/Coffret/Extractions");
}

QString libraryFilePath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/library.json");
}
