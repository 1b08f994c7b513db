// Our entries in the right-click menu of the Thunar file manager, kept in its per-user action
// file next to the user's own actions.
#pragma once

#include <QString>

// ~/.config/Thunar/uca.xml
QString thunarActionFilePath();

// Replaces our earlier actions in the action file by the current ones for appPath, keeping
// every other action as it is. Returns false when the file could not be written; the file
// is then left as it was.
bool installThunarActions(const QString& appPath);

// The new content of an action file that held `existing` (empty when there was none).
QString mergeThunarActions(const QString& existing, const QString& appPath);

// "&", "<" and ">" as entities; quotes stay, since every value goes into element text.
QString xmlEscape(const QString& text);
