#include "services/version_compare.h"

#include <QStringList>

namespace {

int partAt(const QStringList& parts, int i) {
    return i < parts.size() ? parts.at(i).toInt() : 0;
}

} // namespace

int compareVersions(const QString& a, const QString& b) {
    const QStringList left = a.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QStringList right = b.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const int length = qMax(left.size(), right.size());
    for (int i = 0; i < length; ++i) {
        const int l = partAt(left, i);
        const int r = partAt(right, i);
        if (l != r)
            return l > r ? 1 : -1;
    }
    return 0;
}
