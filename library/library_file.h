// library.json on disk: read whole, and rewritten whole after every change.
#pragma once

#include "library/library_item.h"

#include <QVector>
#include <optional>

class LibraryFile {
public:
    // The items the file holds; nothing when there is no file or it is not an index. Such a
    // file is remembered, and moved aside as library.json.bad before a write replaces it: it
    // may be the user's only copy of the index, damaged or not.
    std::optional<QVector<LibraryItem>> read();
    // False, with a warning in the log, when the file could not be written; the previous file
    // is then left as it was.
    bool write(const QVector<LibraryItem>& items);

private:
    bool moveUnreadableFileAside(const QString& filePath);

    bool keepUnreadableFile_ = false;
};
