// Fresh names for what a command-line job creates, so nothing already there is overwritten.
#pragma once

#include <QString>

// The folder parent/<archive name up to its last dot> ("extracted" when that is empty), or
// the first of "<that> (1)", "<that> (2)", ... that is not taken. The folder is not created.
QString uniqueExtractionDir(const QString& parent, const QString& archive);

// folder/<name><suffix>, or the first free "<name> (k)<suffix>". An empty folder means the
// home folder; an empty name means the folder's own name, or "archive" when the folder has
// none (the root folder).
QString uniquePackDestination(const QString& folder, const QString& name, const QString& suffix);
