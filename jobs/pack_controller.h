// The one object through which the interface starts archive jobs and follows them.
#pragma once

#include <QFileInfo>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

class ArchiveWorker;
struct ArchiveJob;

class PackController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(double firstProgress READ firstProgress NOTIFY firstProgressChanged)
    Q_PROPERTY(double secondProgress READ secondProgress NOTIFY secondProgressChanged)
    Q_PROPERTY(bool twoStage READ twoStage NOTIFY twoStageChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)

public:
    explicit PackController(QObject* parent = nullptr);
    // Waits for a running job: its output is not thrown away on quit. A job being cancelled
    // gets as long as cancel() gives it, and is then left to end on its own.
    ~PackController() override;

    bool isRunning() const { return isRunning_; }
    double firstProgress() const { return firstProgress_; }
    double secondProgress() const { return secondProgress_; }
    bool twoStage() const { return twoStage_; }
    QString statusText() const { return statusText_; }

    // Each start request is refused silently while a job runs.
    Q_INVOKABLE void pack(const QVector<QFileInfo>& files, const QString& destName,
                          const QString& password);
    Q_INVOKABLE void packPaths(const QStringList& paths, const QString& destName,
                               const QString& password);
    Q_INVOKABLE void extract(const QString& sourceName, const QString& destPath,
                             const QString& password);
    Q_INVOKABLE void extractBatch(const QStringList& sources, const QStringList& passwords,
                                  const QString& baseDir, bool subfolder);
    // Asks the running job to stop and returns at once. The job then ends with cancelled()
    // instead of an outcome, at its next cancellation point or, when it is stuck in a library
    // call, after two seconds, when it is abandoned: its outcome is dropped, its partial
    // output removed whenever it ends. A job that finished before it saw the request reports
    // its outcome as usual.
    Q_INVOKABLE void cancel();

    Q_INVOKABLE QString archiveKind(const QString& path) const;
    Q_INVOKABLE bool archiveSupported(const QString& path) const;
    Q_INVOKABLE bool archiveNeedsPassword(const QString& path) const;
    Q_INVOKABLE int formatCaps(const QString& dest) const;
    Q_INVOKABLE bool formatCanEncrypt(const QString& dest) const;
    Q_INVOKABLE bool formatRequiresPassword(const QString& dest) const;

signals:
    void isRunningChanged();
    void firstProgressChanged();
    void secondProgressChanged();
    void twoStageChanged();
    void statusTextChanged();
    void packSucceeded(const QString& destName);
    void packFailed(const QString& message);
    void extractSucceeded(const QString& destPath);
    void extractFailed(const QString& message);
    // The cancelled job has stopped or was abandoned; statusText says "Cancelled".
    void cancelled();

private slots:
    void onCoreProgress(double fraction);
    void onWorkerSucceeded(const QString& dest);
    void onWorkerFailed(const QString& message);
    void onWorkerFinished();
    void abandonStuckJob();

private:
    void startJob(const ArchiveJob& job, bool twoStage);
    bool fromCurrentWorker() const;
    bool currentIsPack() const;
    void resetProgress();
    void setRunning(bool running);
    void setTwoStage(bool twoStage);
    void setStatusText(const QString& text);
    void endCancelledJob();

    bool isRunning_ = false;
    double firstProgress_ = 0.0;
    double secondProgress_ = 0.0;
    bool twoStage_ = false;
    QString statusText_;
    // The running job's worker; an abandoned worker is let go and deletes itself when its
    // thread ends.
    ArchiveWorker* worker_ = nullptr;
    bool outcomeDelivered_ = false;
    QTimer abandonTimer_;
};
