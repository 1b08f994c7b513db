// The files of a folder as the library sees them: regular files at any depth, neither hidden
// (nor inside a hidden folder) nor reached through a symbolic link.
#pragma once

#include <QString>
#include <QStringList>

// Paths relative to folder, in plain code-unit order (case-sensitive, no locale).
QStringList visibleFilesBelow(const QString& folder);
