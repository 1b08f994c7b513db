// Runs one archive job on a thread of its own and reports its progress and outcome.
#pragma once

#include "jobs/archive_job.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

class ArchiveWorker : public QThread {
    Q_OBJECT

public:
    explicit ArchiveWorker(const ArchiveJob& job, QObject* parent = nullptr);

    const ArchiveJob& job() const { return job_; }

    // Makes the job stop at its next progress point and stay silent; callable from any thread.
    void requestCancel() { cancelRequested_.store(true); }
    bool cancelRequested() const { return cancelRequested_.load(); }

    // Jobs of the whole process still in their engine call, abandoned ones included.
    static int jobsRunning();

signals:
    void progress(double fraction);
    void succeeded(const QString& dest);
    void failed(const QString& message);

protected:
    void run() override;

private:
    int runSingle();
    void runBatch();
    QString freshSubfolder(const QString& archive);
    void finish(int result);
    void fail(const QString& message);

    static QString messageFor(int result);
    // form puts the text (%1) and the reason (%2) together.
    static QString withReason(const QString& text, const QString& form);
    static void workerProgress(void* context, double fraction);
    static void batchProgress(void* context, double fraction);
    static int cancelCheck(void* context);

    const ArchiveJob job_;
    int batchIndex_ = 0;
    int batchTotal_ = 0;
    QSet<QString> usedFolders_;
    std::atomic<bool> cancelRequested_{false};
};
