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
    // False in a build that names no update server: the system's package manager brings the
    // updates, and check() asks nobody.
    Q_PROPERTY(bool enabled READ isEnabled NOTIFY enabledChanged)

public:
    explicit UpdateChecker(QObject* parent = nullptr);
    ~UpdateChecker() override;

    bool busy() const { return busy_; }
    bool isEnabled() const { return !serverAddress_.host().isEmpty(); }

    // The server asked for the manifest; the manifest's path on it is always the same. Set
    // at build time (none by default), changed here by tests and mirrors.
    void setServerAddress(const QUrl& address);
    QUrl manifestUrl() const;

    Q_INVOKABLE void check(bool userInitiated);
    Q_INVOKABLE void downloadAndInstall(const QString& url);

signals:
    void busyChanged();
    void enabledChanged();
    // A check the user asked for while no update server is configured.
    void updatesDisabled(const QString& message);
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

    QNetworkAccessManager* network_;
    QUrl serverAddress_;
    QPointer<QNetworkReply> manifestReply_;
    QPointer<QNetworkReply> downloadReply_;
    std::unique_ptr<DownloadFile> downloadFile_;
    QString downloadPath_;
    QString downloadUrl_;
    QString writeError_;
    UpdateOffer lastOffer_;
    bool busy_ = false;
};
