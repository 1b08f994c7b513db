#include "jobs/archive_worker.h"

#include "core/cfr.h"
#include "jobs/pack_function.h"
#include "library/free_names.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <vector>

namespace {
std::atomic<int> runningJobs{0};
} // namespace

ArchiveWorker::ArchiveWorker(const ArchiveJob& job, QObject* parent) : QThread(parent), job_(job) {}

int ArchiveWorker::jobsRunning() {
    return runningJobs.load();
}

void ArchiveWorker::run() {
    ++runningJobs;
    struct Leaving {
        ~Leaving() { --runningJobs; }
    } leaving;
    // Nothing may escape the thread: an exception would end the whole process.
    try {
        if (job_.kind == ArchiveJob::ExtractBatch)
            runBatch();
        else
            finish(runSingle());
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
    } catch (...) {
        fail(messageFor(cfr::Failed));
    }
}

int ArchiveWorker::runSingle() {
    // The engine takes an empty password, never a null pointer, for "none".
    const QByteArray passwordUtf8 = job_.password.toUtf8();
    const QByteArray destUtf8 = job_.dest.toUtf8();
    if (job_.kind == ArchiveJob::Pack) {
        std::vector<QByteArray> inputs;
        inputs.reserve(job_.sources.size());
        for (const QString& source : job_.sources)
            inputs.push_back(source.toUtf8());
        std::vector<const char*> pointers;
        for (const QByteArray& input : inputs)
            pointers.push_back(input.constData());
        return packFunction()(pointers.data(), int(pointers.size()), destUtf8.constData(),
                              passwordUtf8.constData(), workerProgress, this, cancelCheck);
    }
    const QByteArray archive = job_.sources.value(0).toUtf8();
    return cfr::extract(archive.constData(), destUtf8.constData(), passwordUtf8.constData(),
                        workerProgress, this, cancelCheck);
}

void ArchiveWorker::runBatch() {
    batchTotal_ = job_.sources.size();
    QStringList failedNames;
    for (int i = 0; i < batchTotal_; ++i) {
        if (cancelRequested())
            return;
        batchIndex_ = i;
        const QString& source = job_.sources.at(i);
        const QString target = job_.subfolders ? freshSubfolder(source) : job_.dest;
        const int result = cfr::extract(source.toUtf8().constData(), target.toUtf8().constData(),
                                        job_.passwords.value(i).toUtf8().constData(), batchProgress,
                                        this, cancelCheck);
        if (result != cfr::Ok)
            failedNames << withReason(QFileInfo(source).fileName(), tr("%1 (%2)"));
    }
    if (cancelRequested())
        return;
    emit progress(1.0);
    if (failedNames.isEmpty())
        emit succeeded(job_.dest);
    else
        fail(tr("%1 of %2 archive(s) failed: %3")
                 .arg(QString::number(failedNames.size()), QString::number(batchTotal_),
                      failedNames.join(QStringLiteral(", "))));
}

// A subfolder of dest named after the archive that neither exists yet nor was given out
// earlier in this batch, created on the spot.
QString ArchiveWorker::freshSubfolder(const QString& archive) {
    QString name = QFileInfo(archive).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("extracted");
    const QString target =
        freePath(QDir(job_.dest).filePath(name), QString(),
                 [this](const QString& path) { return usedFolders_.contains(path); });
    usedFolders_.insert(target);
    // A folder that cannot be made shows up as this archive's failure.
    QDir().mkpath(target);
    return target;
}

void ArchiveWorker::finish(int result) {
    // A job that was done before it saw the cancel has done its work, and says so.
    if (result == cfr::Ok)
        emit succeeded(job_.dest);
    else if (result != cfr::Cancelled)
        fail(messageFor(result));
}

void ArchiveWorker::fail(const QString& message) {
    // A cancelled job ends without an outcome: whoever cancelled it has moved on.
    if (!cancelRequested())
        emit failed(message);
}

QString ArchiveWorker::messageFor(int result) {
    QString text;
    switch (result) {
    case cfr::BadPassword:
        text = tr("Wrong password or corrupt file");
        break;
    case cfr::Unsupported:
        text = tr("Unsupported format");
        break;
    case cfr::OpenFailed:
        text = tr("Cannot open file");
        break;
    default:
        text = tr("Operation failed");
    }
    return withReason(text, tr("%1: %2"));
}

// The engine's reason for the failure just seen on this thread, added to what the code says.
QString ArchiveWorker::withReason(const QString& text, const QString& form) {
    QString reason;
    switch (cfr::failureReason()) {
    case cfr::RarEncryptionUnsupported:
        reason = tr("RAR encryption is not supported");
        break;
    case cfr::MissingVolume:
        reason = tr("the part %1 is missing").arg(QString::fromUtf8(cfr::failureSubject()));
        break;
    case cfr::MethodUnsupported:
        reason = tr("a compression or encryption method that cannot be read");
        break;
    default:
        return text;
    }
    return form.arg(text, reason);
}

void ArchiveWorker::workerProgress(void* context, double fraction) {
    emit static_cast<ArchiveWorker*>(context)->progress(fraction);
}

void ArchiveWorker::batchProgress(void* context, double fraction) {
    auto* worker = static_cast<ArchiveWorker*>(context);
    emit worker->progress((worker->batchIndex_ + fraction) / std::max(worker->batchTotal_, 1));
}

int ArchiveWorker::cancelCheck(void* context) {
    return static_cast<ArchiveWorker*>(context)->cancelRequested() ? 1 : 0;
}
