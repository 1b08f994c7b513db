// Free names inside the library folders. Nothing is created here.
#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// stem+suffix if nothing is there, else the first free "stem (1)suffix", "stem (2)suffix", ...
// Anything at a path takes it, a dangling symbolic link included, and so does every path
// alsoTaken accepts.
QString freePath(const QString& stem, const QString& suffix = QString(),
                 const std::function<bool(const QString&)>& alsoTaken = {});

// baseName made into one plain path component: slashes become underscores, and an empty
// name, "." or ".." becomes fallback. Names come from the user and must not leave the folder.
QString safeBaseName(const QString& baseName, const QString& fallback);

// folder/base+ext if free, else folder/base_<yyyyMMdd_HHmmss of now>+ext, else the same
// followed by _1, _2, ... before ext.
QString freeArchivePath(const QString& folder, const QString& base, const QString& ext,
                        const QDateTime& now);
