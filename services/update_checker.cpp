#include "services/update_checker.h"

#include "services/download_file.h"
#include "services/version_compare.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>

namespace {

Q_LOGGING_CATEGORY(lcUpdate, "coffret.update")

const char* const runningVersion = COFFRET_VERSION_TEXT;
const char* const manifestPath = "/downloads/coffret/version.json";
const char* const platformKey = "linux";
const char* const fallbackDownloadName = "Coffret-update";

QNetworkRequest requestFor(const QUrl& url) {
    QNetworkRequest request(url);
    // Redirects are followed, but never from HTTPS down to HTTP.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    return request;
}

// The url's last path segment, so that the installer keeps its published name; a name that
// would not stay inside the download folder falls back to a fixed one.
QString downloadName(const QString& url) {
    const QString name = QFileInfo(QUrl(url).path(QUrl::FullyDecoded)).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString::fromLatin1(fallbackDownloadName);
    return name;
}

QString downloadFolder() {
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::TempLocation)
                               : downloads;
}

} // namespace

UpdateChecker::UpdateChecker(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)),
      serverAddress_(QStringLiteral(COFFRET_UPDATE_BASE_URL)) {}

UpdateChecker::~UpdateChecker() {
    // A download cut short by the program's end leaves no partial installer behind.
    if (downloadReply_) {
        downloadReply_->disconnect(this);
        downloadReply_->abort();
        downloadFile_->discard();
    }
}

void UpdateChecker::setServerAddress(const QUrl& address) {
    const bool wasEnabled = isEnabled();
    serverAddress_ = address;
    if (isEnabled() != wasEnabled)
        emit enabledChanged();
}

QUrl UpdateChecker::manifestUrl() const {
    QUrl url = serverAddress_;
    QString base = url.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    url.setPath(base + QLatin1String(manifestPath));
    return url;
}

void UpdateChecker::updateBusy() {
    // Busy while either request runs; the first to finish does not end the other.
    const bool running = manifestReply_ || downloadReply_;
    if (running == busy_)
        return;
    busy_ = running;
    emit busyChanged();
}

void UpdateChecker::check(bool userInitiated) {
    if (busy_)
        return;
    // Guessing a host instead would let whoever holds that name serve an installer to every
    // user.
    if (!isEnabled()) {
        if (userInitiated)
            emit updatesDisabled(
                tr("Updates for this installation come from your system's package manager."));
        return;
    }
    QNetworkRequest request = requestFor(manifestUrl());
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Coffret/") + QLatin1String(runningVersion));
    QNetworkReply* reply = network_->get(request);
    manifestReply_ = reply;
    updateBusy();
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, userInitiated] { onManifestFinished(reply, userInitiated); });
}

void UpdateChecker::onManifestFinished(QNetworkReply* reply, bool userInitiated) {
    reply->deleteLater();
    manifestReply_ = nullptr;
    updateBusy();

    if (reply->error() != QNetworkReply::NoError) {
        qCWarning(lcUpdate).noquote() << "network error:" << reply->errorString();
        if (userInitiated)
            emit checkFailed();
        return;
    }
    const ManifestReading reading =
        readUpdateManifest(reply->readAll(), QLatin1String(platformKey));
    if (!reading.ok) {
        qCWarning(lcUpdate).noquote() << reading.problem;
        if (userInitiated)
            emit checkFailed();
        return;
    }
    const UpdateOffer& offer = reading.offer;
    lastOffer_ = offer;
    if (!offer.version.isEmpty() &&
        compareVersions(offer.version, QLatin1String(runningVersion)) > 0 && offer.available &&
        !offer.url.isEmpty()) {
        emit updateAvailable(offer.version, offer.notes, offer.url);
    } else if (userInitiated) {
        emit upToDate();
    }
}

void UpdateChecker::downloadAndInstall(const QString& url) {
    if (downloadReply_)
        return;
    downloadPath_ = QDir(downloadFolder()).filePath(downloadName(url));
    auto file = std::make_unique<DownloadFile>(downloadPath_);
    if (!file->open()) {
        emit downloadFailed(tr("Cannot write to %1: %2").arg(downloadPath_, file->errorString()));
        return;
    }
    downloadFile_ = std::move(file);
    downloadUrl_ = url;
    writeError_.clear();

    QNetworkReply* reply = network_->get(requestFor(QUrl(url)));
    downloadReply_ = reply;
    updateBusy();
    connect(reply, &QNetworkReply::downloadProgress, this, &UpdateChecker::downloadProgress);
    connect(reply, &QNetworkReply::readyRead, this, &UpdateChecker::onDownloadReadyRead);
    connect(reply, &QNetworkReply::finished, this, &UpdateChecker::onDownloadFinished);
}

void UpdateChecker::onDownloadReadyRead() {
    if (!downloadFile_->append(downloadReply_->readAll())) {
        writeError_ = downloadFile_->errorString();
        downloadReply_->abort(); // finishes the download at once
    }
}

void UpdateChecker::onDownloadFinished() {
    QNetworkReply* reply = downloadReply_;
    downloadReply_ = nullptr;
    reply->deleteLater();
    updateBusy();

    const bool received = reply->error() == QNetworkReply::NoError && writeError_.isEmpty();
    if (received && !downloadFile_->append(reply->readAll()))
        writeError_ = downloadFile_->errorString();
    const std::unique_ptr<DownloadFile> file = std::move(downloadFile_);

    // The file takes its place under downloadPath only once every check has passed.
    QString failure;
    if (!writeError_.isEmpty())
        failure = tr("Cannot write to %1: %2").arg(downloadPath_, writeError_);
    else if (!received)
        failure = reply->errorString();
    else if (lastOffer_.hasSha256 && lastOffer_.url == downloadUrl_ &&
             file->sha256Hex() != lastOffer_.sha256)
        failure = tr("The downloaded file does not match its published checksum");
    else if (!file->keep())
        failure = tr("Cannot write to %1: %2").arg(downloadPath_, file->errorString());

    if (!failure.isEmpty()) {
        file->discard();
        emit downloadFailed(failure);
        return;
    }
    emit downloadFinished(downloadPath_);
    QDesktopServices::openUrl(QUrl::fromLocalFile(downloadPath_));
}
