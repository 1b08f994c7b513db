// Free names inside the library folders. Nothing is created here.
#pragma once

#include <QDateTime>
#include <QString>

// baseName made into one plain path component: slashes become underscores, and an empty
// name, "." or ".." becomes fallback. Names come from the user and must not leave the folder.
QString safeBaseName(const QString& baseName, const QString& fallback);

// folder/base+ext if free, else folder/base_<yyyyMMdd_HHmmss of now>+ext, else the same
// followed by _1, _2, ... before ext.
QString freeArchivePath(const QString& folder, const QString& base, const QString& ext,
                        const QDateTime& now);

// folder/base if free, else "folder/base (1)", "folder/base (2)", ...
QString freeFolderPath(const QString& folder, const QString& base);
