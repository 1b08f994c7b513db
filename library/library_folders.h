// Where the library keeps its things.
#pragma once

#include <QString>

// The user's Documents folder, without a trailing slash.
QString documentsFolder();
// Archives packed into or imported into the library.
QString archiveFolder(const QString& documents);
// Folders the library's archives are extracted into.
QString extractionFolder(const QString& documents);
// library.json in the application data folder, which is created first.
QString libraryFilePath();
