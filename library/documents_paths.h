// How library.json keeps paths: relative to the Documents folder when they lie inside it, so
// the index survives a new home folder or a moved Documents folder.
#pragma once

#include <QString>

// The part after documents + "/" when path lies inside documents; otherwise path unchanged.
QString shortenPath(const QString& path, const QString& documents);

// Relative texts are taken below documents; an absolute text that passes through a folder
// named Documents is re-rooted at its last such folder; any other text stays as it is.
QString resolvePath(const QString& stored, const QString& documents);
