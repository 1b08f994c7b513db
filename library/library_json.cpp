#include "library/library_json.h"

#include "library/documents_paths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The only kind of item the index holds; older versions also stored extraction records.
constexpr int archiveType = 0;

// A size written by someone else may be any number; out of range it would not convert.
qint64 toSize(double value) {
    constexpr double limit = 9.0e18;
    return value > -limit && value < limit ? qint64(value) : 0;
}

QJsonObject encodeItem(const LibraryItem& item, const QString& documents) {
    QJsonObject object;
    object["id"] = item.id;
    object["type"] = archiveType;
    object["name"] = item.name;
    object["path"] = shortenPath(item.path, documents);
    object["sizeBytes"] = double(item.sizeBytes);
    object["added"] = item.added.toString(Qt::ISODate);
    object["archiveId"] = item.archiveId;
    object["extractionPath"] =
        item.extractionPath.isEmpty() ? QString() : shortenPath(item.extractionPath, documents);
    object["imported"] = item.imported;
    object["password"] = item.password;
    object["decrypted"] = item.decrypted;
    object["hash"] = item.hash;
    object["extractionHash"] = item.extractionHash;
    return object;
}

LibraryItem decodeItem(const QJsonObject& object, const QString& documents) {
    LibraryItem item;
    item.id = object["id"].toString();
    item.name = object["name"].toString();
    item.path = resolvePath(object["path"].toString(), documents);
    item.sizeBytes = toSize(object["sizeBytes"].toDouble(0));
    item.added = QDateTime::fromString(object["added"].toString(), Qt::ISODate);
    item.archiveId = object["archiveId"].toString();
    item.extractionPath = resolvePath(object["extractionPath"].toString(), documents);
    item.imported = object["imported"].toBool(false);
    item.password = object["password"].toString();
    item.decrypted = object["decrypted"].toBool(false);
    item.hash = object["hash"].toString();
    item.extractionHash = object["extractionHash"].toString();
    return item;
}

} // namespace

QByteArray encodeLibrary(const QVector<LibraryItem>& items, const QString& documents) {
    QJsonArray array;
    for (const LibraryItem& item : items)
        array.append(encodeItem(item, documents));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QVector<LibraryItem>> decodeLibrary(const QByteArray& bytes,
                                                  const QString& documents) {
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isArray())
        return std::nullopt;
    const QJsonArray array = document.array();
    QVector<LibraryItem> items;
    items.reserve(array.size());
    for (const QJsonValue& element : array) {
        const QJsonObject object = element.toObject();
        LibraryItem item = decodeItem(object, documents);
        if (!item.id.isEmpty() && object["type"].toInt(archiveType) == archiveType)
            items.append(std::move(item));
    }
    return items;
}
