// The version manifest on the download server: what it offers this platform.
#pragma once

#include <QByteArray>
#include <QString>

struct UpdateOffer {
    QString version;
    QString url;
    QString notes;
    bool available = false;
    // Lower-case hex SHA-256 of the installer, when the manifest gives one.
    bool hasSha256 = false;
    QString sha256;
};

struct ManifestReading {
    bool ok = false;
    QString problem; // for the log, when not ok
    UpdateOffer offer;
};

// Reads the entry of `platform` from a manifest body.
ManifestReading readUpdateManifest(const QByteArray& body, const QString& platform);
