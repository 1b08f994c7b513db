#include "jobs/pack_controller.h"

#include "core/cfr.h"
#include "jobs/archive_worker.h"
#include "jobs/progress_split.h"

#include <QMetaType>

namespace {

int kindOf(const QString& path) {
    return cfr::archiveKind(path.toUtf8().constData());
}

// How long a cancelled job may take to reach a cancellation point before it is abandoned.
const int abandonAfterMs = 2000;

} // namespace

PackController::PackController(QObject* parent) : QObject(parent) {
    // Also registers the conversion to a sequence, so that a list of file infos that QML
    // got from the file model can be handed back to pack() unchanged.
    qRegisterMetaType<QVector<QFileInfo>>();
    abandonTimer_.setSingleShot(true);
    abandonTimer_.setInterval(abandonAfterMs);
    connect(&abandonTimer_, &QTimer::timeout, this, &PackController::abandonStuckJob);
}

PackController::~PackController() {
    if (!worker_)
        return;
    if (!worker_->cancelRequested())
        worker_->wait();
    else if (!worker_->wait(abandonAfterMs))
        // Deleting a running thread would end the process; it goes on without an owner.
        worker_->setParent(nullptr);
}

void PackController::pack(const QVector<QFileInfo>& files, const QString& destName,
                          const QString& password) {
    QStringList paths;
    paths.reserve(files.size());
    for (const QFileInfo& file : files)
        paths << file.absoluteFilePath();
    packPaths(paths, destName, password);
}

void PackController::packPaths(const QStringList& paths, const QString& destName,
                               const QString& password) {
    startJob(ArchiveJob::pack(paths, destName, password), kindOf(destName) == cfr::Package);
}

void PackController::extract(const QString& sourceName, const QString& destPath,
                             const QString& password) {
    startJob(ArchiveJob::extract(sourceName, destPath, password),
             kindOf(sourceName) == cfr::Package);
}

void PackController::extractBatch(const QStringList& sources, const QStringList& passwords,
                                  const QString& baseDir, bool subfolder) {
    startJob(ArchiveJob::extractBatch(sources, passwords, baseDir, subfolder), false);
}

void PackController::startJob(const ArchiveJob& job, bool twoStage) {
    // A refused request leaves the running job's display alone.
    if (isRunning_)
        return;
    auto* worker = new ArchiveWorker(job, this);
    setTwoStage(twoStage);
    resetProgress();
    outcomeDelivered_ = false;
    setRunning(true);
    worker_ = worker;
    connect(worker, &ArchiveWorker::progress, this, &PackController::onCoreProgress);
    connect(worker, &ArchiveWorker::succeeded, this, &PackController::onWorkerSucceeded);
    connect(worker, &ArchiveWorker::failed, this, &PackController::onWorkerFailed);
    connect(worker, &QThread::finished, this, &PackController::onWorkerFinished);
    setStatusText(job.kind == ArchiveJob::Pack ? tr("Packing...") : tr("Extracting..."));
    worker->start();
}

void PackController::cancel() {
    if (!worker_) {
        setRunning(false);
        return;
    }
    if (worker_->cancelRequested() || outcomeDelivered_)
        return;
    worker_->requestCancel();
    abandonTimer_.start();
}

// The job is stuck where it cannot see the request: the interface goes on without it. Its
// engine call removes what it wrote once it returns; nothing it reports is listened to.
void PackController::abandonStuckJob() {
    ArchiveWorker* stuck = worker_;
    if (!stuck || !stuck->isRunning())
        return;
    worker_ = nullptr;
    stuck->setParent(nullptr);
    disconnect(stuck, nullptr, this, nullptr);
    connect(stuck, &QThread::finished, stuck, &QObject::deleteLater);
    endCancelledJob();
}

void PackController::endCancelledJob() {
    setStatusText(tr("Cancelled"));
    emit cancelled();
    setRunning(false);
}

void PackController::onCoreProgress(double fraction) {
    // The bars stop where the cancel found them.
    if (!fromCurrentWorker() || worker_->cancelRequested())
        return;
    const ProgressBars bars = splitProgress(fraction, twoStage_);
    firstProgress_ = bars.first;
    secondProgress_ = bars.second;
    emit firstProgressChanged();
    emit secondProgressChanged();
}

void PackController::onWorkerSucceeded(const QString& dest) {
    if (!fromCurrentWorker())
        return;
    outcomeDelivered_ = true;
    if (currentIsPack()) {
        setStatusText(tr("Pack succeeded!"));
        emit packSucceeded(dest);
    } else {
        setStatusText(tr("Extract succeeded!"));
        emit extractSucceeded(dest);
    }
}

void PackController::onWorkerFailed(const QString& message) {
    if (!fromCurrentWorker())
        return;
    outcomeDelivered_ = true;
    if (currentIsPack()) {
        setStatusText(tr("Pack failed: %1").arg(message));
        emit packFailed(message);
    } else {
        setStatusText(tr("Extract failed: %1").arg(message));
        emit extractFailed(message);
    }
}

void PackController::onWorkerFinished() {
    auto* finished = qobject_cast<ArchiveWorker*>(sender());
    if (!finished || finished != worker_)
        return;
    finished->deleteLater();
    worker_ = nullptr;
    abandonTimer_.stop();
    if (finished->cancelRequested() && !outcomeDelivered_)
        endCancelledJob();
    else
        setRunning(false);
}

bool PackController::fromCurrentWorker() const {
    return worker_ && sender() == worker_;
}

bool PackController::currentIsPack() const {
    return worker_ && worker_->job().kind == ArchiveJob::Pack;
}

QString PackController::archiveKind(const QString& path) const {
    return QLatin1String(cfr::archiveKindName(kindOf(path)));
}

bool PackController::archiveSupported(const QString& path) const {
    return cfr::archiveSupported(path.toUtf8().constData()) != 0;
}

bool PackController::archiveNeedsPassword(const QString& path) const {
    return cfr::archiveNeedsPassword(path.toUtf8().constData()) != 0;
}

int PackController::formatCaps(const QString& dest) const {
    return cfr::formatCaps(kindOf(dest));
}

bool PackController::formatCanEncrypt(const QString& dest) const {
    return (formatCaps(dest) & cfr::CapEncrypt) != 0;
}

bool PackController::formatRequiresPassword(const QString& dest) const {
    return kindOf(dest) == cfr::Package;
}

void PackController::resetProgress() {
    firstProgress_ = 0.0;
    secondProgress_ = 0.0;
    statusText_ = QString();
    emit firstProgressChanged();
    emit secondProgressChanged();
    emit statusTextChanged();
}

void PackController::setRunning(bool running) {
    if (isRunning_ == running)
        return;
    isRunning_ = running;
    emit isRunningChanged();
}

void PackController::setTwoStage(bool twoStage) {
    if (twoStage_ == twoStage)
        return;
    twoStage_ = twoStage;
    emit twoStageChanged();
}

void PackController::setStatusText(const QString& text) {
    statusText_ = text;
    emit statusTextChanged();
}
