// Asks the download server whether a newer release exists for this platform, and downloads
// the installer and hands it to the desktop when the user agrees.
#pragma once

#include "services/update_manifest.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <memory>

class DownloadFile;
class QNetworkAccessManager;
class QNetworkReply;

class UpdateChecker : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)

public:
    explicit UpdateChecker(QObject* parent = nullptr);
    ~UpdateChecker() override;

    bool busy() const { return busy_; }

    // The server asked for the manifest; the manifest's path on it is always the same. Set
    // at build time, changed here by tests and mirrors.
    void setServerAddress(const QUrl& address);
    QUrl manifestUrl() const;

    Q_INVOKABLE void check(bool userInitiated);
    Q_INVOKABLE void downloadAndInstall(const QString& url);

signals:
    void busyChanged();
    void updateAvailable(const QString& versionName, const QString& notes, const QString& url);
    void upToDate();
    void checkFailed();
    void downloadProgress(qlonglong received, qlonglong total);
    void downloadFinished(const QString& filePath);
    void downloadFailed(const QString& message);

private:
    void onManifestFinished(QNetworkReply* reply, bool userInitiated);
    void onDownloadReadyRead();
    void onDownloadFinished();
    void updateBusy();

    QNetworkAccessManager* network;
    QUrl serverAddress;
    QPointer<QNetworkReply> manifestReply;
    QPointer<QNetworkReply> downloadReply;
    std::unique_ptr<DownloadFile> downloadFile;
    QString downloadPath;
    QString downloadUrl;
    QString writeError;
    UpdateOffer lastOffer;
    bool busy_ = false;
};
