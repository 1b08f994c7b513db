#pragma once

#include <QString>

// Deletes folder and everything in it, but only when it is a real folder (not a symbolic
// link) strictly inside root. A recorded path comes from library.json, which may be damaged
// or edited: it must never be able to wipe the Documents or home folder. Returns whether the
// folder is gone.
bool removeFolderInside(const QString& folder, const QString& root);
