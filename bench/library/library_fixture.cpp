#include "library_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QUuid>

QByteArray writeLibraryFixture(const QString& folder, int count) {
    // The library lives under HOME: give it a home of its own.
    qputenv("HOME", folder.toUtf8());
    qputenv("XDG_CONFIG_HOME", (folder + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (folder + "/.local/share").toUtf8());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents + "/Coffret/Extractions");

    QJsonArray items;
    for (int n = 0; n < count; ++n) {
        const QString name = QString("archive-%1.cfr").arg(n);
        QFile archive(documents + "/Coffret/" + name);
        if (!archive.open(QIODevice::WriteOnly) || !archive.resize(1000 + n))
            return {};
        QString extraction;
        if (n % 4 == 0) {
            extraction = "Coffret/Extractions/" + name;
            QDir().mkpath(documents + '/' + extraction);
        }
        items.append(QJsonObject{
            {"id", QUuid::createUuid().toString(QUuid::WithoutBraces)},
            {"type", 0},
            {"name", name},
            {"path", "Coffret/" + name},
            {"sizeBytes", 1000 + n},
            {"added", "2025-01-01T12:00:00"},
            {"archiveId", ""},
            {"extractionPath", extraction},
            {"imported", n % 2 == 0},
            {"password", "password"},
            {"decrypted", !extraction.isEmpty()},
            {"hash", QString(64, 'a')},
            {"extractionHash", extraction.isEmpty() ? "" : QString(64, 'b')},
        });
    }
    const QString libraryFile =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/library.json";
    QDir().mkpath(QFileInfo(libraryFile).path());
    QFile file(libraryFile);
    const QByteArray json = QJsonDocument(items).toJson(QJsonDocument::Compact);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        return {};
    file.close();

    return json;
}
