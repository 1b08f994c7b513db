#pragma once

#include <QString>

// One SHA-256 over the visible files of a folder (see folder_files.h), taken in sorted order
// of their relative paths: each path's UTF-8 bytes, a zero byte, then the file's contents.
// So renaming, moving, adding, removing or editing a file changes it; timestamps,
// permissions, empty folders and hidden files do not. Empty when folder is not a directory.
// A file that cannot be read contributes its name and whatever could be read of it.
QString folderDigest(const QString& folder);
