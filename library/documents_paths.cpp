#include "library/documents_paths.h"

QString shortenPath(const QString& path, const QString& documents) {
    const QString prefix = documents + '/';
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

QString resolvePath(const QString& stored, const QString& documents) {
    if (stored.isEmpty())
        return stored;
    if (!stored.startsWith('/'))
        return documents + '/' + stored;
    static const QString marker = QStringLiteral("/Documents/");
    const int at = stored.lastIndexOf(marker);
    if (at < 0)
        return stored;
    // Keep the slash that follows "Documents".
    return documents + stored.mid(at + marker.size() - 1);
}
